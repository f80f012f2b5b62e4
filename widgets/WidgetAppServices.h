#pragma once

#include <string>

namespace Kavo
{

class DialogListener;
class Font;
class Image;

// What the widget toolkit asks of the application object. The application object implements it
// and makes itself current; tests use a fake. Every operation runs on the main thread.
class WidgetAppServices
{
public:
    virtual ~WidgetAppServices() = default;

    // --- Cursor and clipboard ---

    // Shows application cursor `number` (0 arrow, 1 hand, 2 drag, 3 text beam) from now on.
    virtual void SetCursor(int number) = 0;
    // Puts Windows-1252 text on the system clipboard; a failure leaves the clipboard as it was.
    virtual void CopyToClipboard(const std::string& text) = 0;
    // The clipboard's text in Windows-1252; empty when it holds no text.
    virtual std::string GetClipboard() = 0;

    // --- Edit fields ---

    // True when edit fields accept character codes 128 to 255 (else only 32 to 127).
    virtual bool AllowsHighCharacters() = 0;
    // True when edit fields drive the system caret (for screen readers and input methods).
    virtual bool UsesSystemCaret() = 0;
    // Creates and shows the system caret on the main window; called when a field gains the focus.
    virtual void ShowSystemCaret() = 0;
    // Hides and destroys the system caret; called when the field loses the focus.
    virtual void HideSystemCaret() = 0;
    // Moves the system caret to (x, y) in screen coordinates.
    virtual void SetSystemCaretPos(int x, int y) = 0;
    // Size of the game screen in pixels.
    virtual int GetScreenWidth() = 0;
    virtual int GetScreenHeight() = 0;

    // --- Drawing ---

    // True while drawing goes through 3D acceleration (overlays are then stretched smoothly).
    virtual bool Is3DAccelerated() = 0;
    // A new system font (face, size in points, bold or regular), owned by the caller; null when
    // no font can be made (text is then not drawn).
    virtual Font* CreateSysFont(const std::string& face, int pointSize, bool bold) = 0;
    // Readies the screen image for a frame of software drawing (locks a display surface). True
    // when EndScreenDraw must follow; false when nothing was done or the lock was refused.
    virtual bool BeginScreenDraw(Image* screenImage) = 0;
    // Ends what a successful BeginScreenDraw started.
    virtual void EndScreenDraw(Image* screenImage) = 0;

    // --- Dialogs ---

    // The listener a new dialog reports its buttons to (the application's own), or null.
    virtual DialogListener* GetDialogListener() = 0;
    // Runs one step of the main loop (messages, updates, drawing, deferred deletions); false when
    // the program is stopping and nested loops must end.
    virtual bool UpdateAppStep() = 0;
    // Takes the dialog with this id off the screen and queues it for deletion; false when no
    // dialog has the id.
    virtual bool KillDialog(int id) = 0;

    // The services of the running application, or null before it exists; widgets made before
    // they are attached to a manager (dialogs, default fonts) read it.
    static WidgetAppServices* Current();
    static void SetCurrent(WidgetAppServices* services);
};

} // namespace Kavo

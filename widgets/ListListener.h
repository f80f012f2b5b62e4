#pragma once

namespace Kavo
{

// Told about a list's clicks, its highlight and its removal from the screen. Not owned.
class ListListener
{
public:
    virtual ~ListListener() = default;

    // A mouse button went down on a highlighted line; clickCount is 1, or 2 for a double click.
    virtual void ListClicked(int id, int line, int clickCount)
    {
        (void)id;
        (void)line;
        (void)clickCount;
    }
    // The list left the widget manager.
    virtual void ListClosed(int id) { (void)id; }
    // The line under the mouse changed; -1 means none.
    virtual void ListHiliteChanged(int id, int oldLine, int newLine)
    {
        (void)id;
        (void)oldLine;
        (void)newLine;
    }
};

} // namespace Kavo

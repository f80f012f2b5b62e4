#pragma once

#include "app/DemoFile.h"
#include "app/PlaybackDialog.h"
#include "widgets/ListListener.h"

#include <string>
#include <vector>

namespace Kavo
{

class ListWidget;
class ScrollbarWidget;

// The "Marker List" dialog of demo playback: one line per marker, each standing for the update
// count of its marker. A double click on a line chooses it and ends the dialog (RESULT_OK).
class MarkerListDialog : public PlaybackDialog, public ListListener
{
public:
    // One line per entry: its name is the line's text. The dialog grows to show the widest line
    // whole, up to maxWidth pixels.
    MarkerListDialog(const std::vector<DemoMarker>& lines, int maxWidth);
    ~MarkerListDialog() override;

    // The update count of the chosen line; -1 while none was chosen.
    int GetChosenUpdate() const { return mChosenUpdate; }
    ListWidget* GetList() { return mList; }

    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void ListClicked(int id, int line, int clickCount) override;

private:
    ListWidget* mList = nullptr;           // owned
    ScrollbarWidget* mScrollbar = nullptr; // owned
    std::vector<int> mUpdates;             // per line
    int mChosenUpdate = -1;
};

} // namespace Kavo

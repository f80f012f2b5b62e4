#include "app/MarkerListDialog.h"

#include "graphics/Font.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

#include <algorithm>

namespace Kavo
{

namespace
{
// 200 x 200 dialog units of the desktop's dialogs at 8 points, less the frame.
constexpr int kClientWidth = 285;
constexpr int kClientHeight = 309;
constexpr int kScrollbarWidth = 16;
constexpr int kTextMargin = 12; // a list line's text from the list's edges, both sides together
} // namespace

MarkerListDialog::MarkerListDialog(const std::vector<DemoMarker>& lines, int maxWidth)
    : PlaybackDialog("Marker List", kClientWidth, kClientHeight)
{
    mList = new ListWidget(0, GetFont(), this);
    mScrollbar = new ScrollbarWidget(0, mList);
    mList->mScrollbar.Reset(mScrollbar);
    AddWidget(mList);
    AddWidget(mScrollbar);

    int widest = 0;
    for (const DemoMarker& line : lines)
    {
        mList->AddLine(line.name, false);
        mUpdates.push_back(line.updateCount);
        if (GetFont()) widest = std::max(widest, GetFont()->StringWidth(line.name));
    }
    int width =
        std::max(mWidth, std::min(maxWidth, mWidth - kClientWidth + widest + kTextMargin + kScrollbarWidth));
    Resize(mX, mY, width, mHeight);
}

MarkerListDialog::~MarkerListDialog()
{
    RemoveWidget(mScrollbar);
    RemoveWidget(mList);
    delete mScrollbar;
    delete mList;
}

void MarkerListDialog::Resize(int x, int y, int width, int height)
{
    PlaybackDialog::Resize(x, y, width, height);
    if (!mList) return;
    Rect client = GetClientRect();
    mList->Resize(client.mX, client.mY, client.mWidth - kScrollbarWidth, client.mHeight);
    mScrollbar->ResizeScrollbar(client.mX + client.mWidth - kScrollbarWidth, client.mY, kScrollbarWidth,
                                client.mHeight);
}

void MarkerListDialog::ListClicked(int id, int line, int clickCount)
{
    (void)id;
    mList->SetSelect(line);
    if (clickCount != 2 || line < 0 || line >= int(mUpdates.size())) return;
    mChosenUpdate = mUpdates[size_t(line)];
    End(RESULT_OK);
}

} // namespace Kavo

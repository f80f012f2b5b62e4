#pragma once

namespace Kavo
{

// Told when an in-board popup closes. Results: 1000 the affirmative button, 1001 the other,
// 1 a text overlay that ended.
class BoardPopupListener
{
public:
    virtual ~BoardPopupListener() = default;
    virtual void OnPopupClosed(int popupId, int result) = 0;
};

} // namespace Kavo

#pragma once

#include <memory>

namespace Kavo
{

// A pointer to a widget that turns null once the widget is destroyed. Widgets hand out a token
// that dies with them (WidgetContainer::GetLifeToken); code that calls out to listeners or other
// widgets holds a WidgetRef to learn whether the widget it was working on survived the call.
template <class T>
class WidgetRef
{
public:
    WidgetRef() = default;
    explicit WidgetRef(T* widget) { Reset(widget); }

    void Reset(T* widget)
    {
        mWidget = widget;
        mToken = widget ? widget->GetLifeToken() : std::weak_ptr<const void>();
    }

    // The widget, or null when none was set or it has been destroyed since.
    T* Get() const { return mToken.expired() ? nullptr : mWidget; }
    explicit operator bool() const { return Get() != nullptr; }
    T* operator->() const { return Get(); }

private:
    T* mWidget = nullptr;
    std::weak_ptr<const void> mToken;
};

} // namespace Kavo

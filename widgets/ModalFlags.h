#pragma once

#include "widgets/FlagsMod.h"

namespace Kavo
{

// Bits of the flags word in force at a widget during an update, draw or hit-testing pass.
enum WidgetFlags
{
    WIDGETFLAGS_UPDATE = 1,       // Update / UpdateF run
    WIDGETFLAGS_MARK_DIRTY = 2,   // marked dirty on every update
    WIDGETFLAGS_DRAW = 4,         // Draw runs
    WIDGETFLAGS_CLIP = 8,         // drawing is clipped to the widget's rectangle
    WIDGETFLAGS_ALLOW_MOUSE = 16, // takes part in hit testing
    WIDGETFLAGS_ALLOW_FOCUS = 32, // may keep the keyboard focus
};

// 1 + 4 + 8 + 16 + 32.
constexpr int kDefaultWidgetFlags = 61;

// The flags handed down one pass: widgets at or above the base modal widget use mAboveFlags,
// those below it mBelowFlags. A pass sets mReachedModal when it meets the base modal widget.
class ModalFlags
{
public:
    int mAboveFlags = kDefaultWidgetFlags;
    int mBelowFlags = kDefaultWidgetFlags;
    bool mReachedModal = false;

    int GetFlags() const { return mReachedModal ? mAboveFlags : mBelowFlags; }
};

// Applies a node's FlagsMod to both words for its own scope and puts the words back when it ends.
// mReachedModal is left as the pass set it.
class ModalFlagsScope
{
public:
    ModalFlagsScope(ModalFlags& flags, const FlagsMod& mod)
        : mFlags(flags), mSavedAbove(flags.mAboveFlags), mSavedBelow(flags.mBelowFlags)
    {
        flags.mAboveFlags = mod.Apply(flags.mAboveFlags);
        flags.mBelowFlags = mod.Apply(flags.mBelowFlags);
    }
    ~ModalFlagsScope()
    {
        mFlags.mAboveFlags = mSavedAbove;
        mFlags.mBelowFlags = mSavedBelow;
    }
    ModalFlagsScope(const ModalFlagsScope&) = delete;
    ModalFlagsScope& operator=(const ModalFlagsScope&) = delete;

private:
    ModalFlags& mFlags;
    int mSavedAbove;
    int mSavedBelow;
};

} // namespace Kavo

#pragma once

#include "base/Buffer.h"

namespace Kavo
{

// The event stream of a demo: records of an event header (4-bit update delta, 1-bit form,
// then a 1-bit type in the short form or a 5-bit type in the long form) and a payload.
// A delta above 15 is preceded by filler records (delta 15, long form, type 31).
class DemoStream
{
public:
    // Long-form event types.
    enum
    {
        kMouseAbsolute = 0,
        kActivate = 1,
        kSize = 2,
        kKeyDown = 3,
        kKeyUp = 4,
        kChar = 5,
        kClose = 6,
        kMouseEnter = 7,
        kMouseLeave = 8,
        kLoadingHandOver = 9,
        kRegistrySubKeys = 10,
        kRegistryValues = 11,
        kRegistryRead = 12,
        kRegistryWrite = 13,
        kRegistryEraseKey = 14,
        kHttpResult = 18,
        kSyncValue = 19,
        kWheel = 22,
        kDisplayMode = 24,
        kFiller = 31,
    };
    // Short-form event types.
    enum
    {
        kShortMouseMove = 0,
        kShortMouseButton = 1,
    };

    // Appends a header's update delta for the current update count (with fillers first when
    // it exceeds 15); the caller appends the form, the type and the payload.
    void WriteHeader(int updateCount);
    // Header, form and type in one go.
    void WriteLongEvent(int updateCount, int type);
    void WriteShortEvent(int updateCount, int type);

    // Reads the next header unless one is pending; true when the pending event is due at this
    // update count. At the end of the stream nothing is pending and the answer is false.
    bool ReadHeader(int updateCount);
    // Marks the pending header as taken (its payload is read next).
    void TakeHeader() { mHeaderPending = false; }

    bool HeaderPending() const { return mHeaderPending; }
    bool PendingIsShort() const { return mPendingShort; }
    int PendingType() const { return mPendingType; }
    int LastEventUpdate() const { return mLastEventUpdate; }

    // Back to an empty stream.
    void Reset();

    Buffer mBuffer;

private:
    int mLastEventUpdate = 0;
    bool mHeaderPending = false;
    bool mPendingShort = false;
    int mPendingType = 0;
};

} // namespace Kavo

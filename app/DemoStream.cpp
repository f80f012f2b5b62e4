#include "app/DemoStream.h"

namespace Kavo
{

void DemoStream::WriteHeader(int updateCount)
{
    int delta = updateCount - mLastEventUpdate;
    while (delta > 15)
    {
        mBuffer.WriteNumBits(15, 4);
        mLastEventUpdate += 15;
        mBuffer.WriteNumBits(0, 1);
        mBuffer.WriteNumBits(kFiller, 5);
        delta = updateCount - mLastEventUpdate;
    }
    mBuffer.WriteNumBits(delta < 0 ? 0 : delta, 4);
    mLastEventUpdate = updateCount;
}

void DemoStream::WriteLongEvent(int updateCount, int type)
{
    WriteHeader(updateCount);
    mBuffer.WriteNumBits(0, 1);
    mBuffer.WriteNumBits(type, 5);
}

void DemoStream::WriteShortEvent(int updateCount, int type)
{
    WriteHeader(updateCount);
    mBuffer.WriteNumBits(1, 1);
    mBuffer.WriteNumBits(type, 1);
}

bool DemoStream::ReadHeader(int updateCount)
{
    if (!mHeaderPending)
    {
        if (mBuffer.AtEnd()) return false;
        mLastEventUpdate += mBuffer.ReadNumBits(4, false);
        mPendingShort = mBuffer.ReadNumBits(1, false) != 0;
        mPendingType = mBuffer.ReadNumBits(mPendingShort ? 1 : 5, false);
        mHeaderPending = true;
    }
    return updateCount == mLastEventUpdate;
}

void DemoStream::Reset()
{
    mBuffer.Clear();
    mLastEventUpdate = 0;
    mHeaderPending = false;
    mPendingShort = false;
    mPendingType = 0;
}

} // namespace Kavo

// Demo recording and playback: the application's side of the demo stream.
#include "app/KavoAppBase.h"

#include "base/Random.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

bool KavoAppBase::ReadDemoFile(std::string* error)
{
    DemoFileContents demo;
    std::string message;
    if (!Kavo::ReadDemoFile(mDemoFileName, mProductVersion, demo, message))
    {
        if (error) *error = message;
        return false;
    }
    mRandSeed = demo.seed;
    SRand(mRandSeed);
    mDemoMarkers = demo.markers;
    mDemoLength = int(demo.finalUpdateCount);
    mDemo.Reset();
    mDemo.mBuffer = demo.events;
    mDemo.mBuffer.SeekFront();
    return true;
}

void KavoAppBase::WriteDemoFile()
{
    if (!mRecordingDemo) return;
    DemoFileContents demo;
    demo.seed = mRandSeed;
    demo.version = mProductVersion;
    demo.markers = mDemoMarkers;
    demo.finalUpdateCount = uint32_t(mUpdateCount);
    demo.events = mDemo.mBuffer;
    if (!Kavo::WriteDemoFile(mDemoFileName, demo))
        ReportLostWriteOnce(mDemoWriteReported, "The demo could not be written to " + mDemoFileName + ".");
}

void KavoAppBase::WriteDemoEventHeader()
{
    mDemo.WriteHeader(mUpdateCount);
}

bool KavoAppBase::ReadDemoEventHeader()
{
    return mDemo.ReadHeader(mUpdateCount);
}

void KavoAppBase::WriteDisplayModeEvent()
{
    mDemo.WriteLongEvent(mUpdateCount, DemoStream::kDisplayMode);
    mDemo.mBuffer.WriteBoolean(mIsWindowed);
    mDemo.mBuffer.WriteByte(uint8_t(mRefreshRate));
}

bool KavoAppBase::ReadDisplayModeEvent()
{
    if (!ReadDemoEventHeader() || mDemo.PendingIsShort() || mDemo.PendingType() != DemoStream::kDisplayMode)
        return false;
    mDemo.TakeHeader();
    ReadDisplayModePayload();
    return true;
}

void KavoAppBase::ReadDisplayModePayload()
{
    mIsWindowed = mDemo.mBuffer.ReadBoolean();
    // The pacing divides by the rate: a recording that says 0 keeps the default.
    int rate = mDemo.mBuffer.ReadByte();
    mRefreshRate = rate > 0 ? rate : 100;
}

void KavoAppBase::PlayDemoEvents()
{
    Buffer& in = mDemo.mBuffer;
    while (!mShutdown && mUpdateCount == mDemo.LastEventUpdate() && !(in.AtEnd() && !mDemo.HeaderPending()))
    {
        if (!ReadDemoEventHeader()) break;
        mDemo.TakeHeader();
        int type = mDemo.PendingType();
        if (mDemo.PendingIsShort())
        {
            if (type == DemoStream::kShortMouseMove)
            {
                mDemoMouseX += in.ReadNumBits(6, true);
                mDemoMouseY += in.ReadNumBits(6, true);
                mWidgetManager->MousePosition(mDemoMouseX, mDemoMouseY);
            }
            else
            {
                bool down = in.ReadNumBits(1, false) != 0;
                int clicks = in.ReadNumBits(3, true);
                if (down)
                    mWidgetManager->MouseDown(mDemoMouseX, mDemoMouseY, clicks);
                else
                    mWidgetManager->MouseUp(mDemoMouseX, mDemoMouseY, clicks);
            }
            continue;
        }
        switch (type)
        {
        case DemoStream::kMouseAbsolute:
            mDemoMouseX = in.ReadNumBits(12, false);
            mDemoMouseY = in.ReadNumBits(12, false);
            mWidgetManager->MousePosition(mDemoMouseX, mDemoMouseY);
            break;
        case DemoStream::kActivate:
            mActive = in.ReadNumBits(1, false) != 0;
            UpdateFocusState();
            if (mActive && !mIsPhysWindowed) mWidgetManager->MarkAllDirty();
            if (mIsOpeningURL && !mActive) URLOpenSucceeded(mOpeningURL);
            break;
        case DemoStream::kSize:
        {
            bool minimized = in.ReadBoolean();
            if (!mShutdown && minimized != mMinimized)
            {
                mMinimized = minimized;
                if (minimized)
                {
                    Mute(true);
                }
                else
                {
                    Unmute(true);
                    mWidgetManager->MarkAllDirty();
                }
            }
            UpdateFocusState();
            break;
        }
        case DemoStream::kKeyDown:
            mWidgetManager->KeyDown(in.ReadNumBits(8, false));
            break;
        case DemoStream::kKeyUp:
            mWidgetManager->KeyUp(in.ReadNumBits(8, false));
            break;
        case DemoStream::kChar:
        {
            bool wide = in.ReadNumBits(1, false) != 0;
            int c = in.ReadNumBits(wide ? 16 : 8, false);
            mWidgetManager->KeyChar(char(uint8_t(c & 0xFF)));
            break;
        }
        case DemoStream::kClose:
            Shutdown();
            break;
        case DemoStream::kMouseEnter:
            mMouseIn = true;
            UpdateCursor();
            break;
        case DemoStream::kMouseLeave:
            mWidgetManager->MouseExit(mDemoMouseX, mDemoMouseY);
            mMouseIn = false;
            UpdateCursor();
            break;
        case DemoStream::kLoadingHandOver:
            mDemoLoadingHandedOver = true;
            break;
        case DemoStream::kWheel:
            mWidgetManager->MouseWheel(in.ReadNumBits(8, true));
            break;
        case DemoStream::kDisplayMode:
            ReadDisplayModePayload();
            break;
        default:
            break;
        }
    }
}

void KavoAppBase::DemoSyncBuffer(Buffer& value)
{
    if (mRecordingDemo && !mPlayingDemo)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kSyncValue);
        mDemo.mBuffer.WriteLong(value.GetDataLen());
        if (value.GetDataPtr()) mDemo.mBuffer.WriteBytes(value.GetDataPtr(), value.GetDataLen());
    }
    else if (mPlayingDemo && !mDemoCloseHandled)
    {
        ReadDemoEventHeader();
        mDemo.TakeHeader();
        uint32_t length = uint32_t(mDemo.mBuffer.ReadLong());
        // Only as many bytes as the demo still holds.
        int available = mDemo.mBuffer.BytesLeft();
        int count = length > uint32_t(available) ? available : int(length);
        std::vector<uint8_t> bytes(size_t(count) + 1);
        mDemo.mBuffer.ReadBytes(bytes.data(), count);
        value.Clear();
        value.SetData(bytes.data(), count);
    }
}

void KavoAppBase::DemoSyncString(std::string& value)
{
    Buffer buffer;
    buffer.WriteString(value);
    DemoSyncBuffer(buffer);
    buffer.SeekFront();
    value = buffer.ReadString();
}

void KavoAppBase::DemoSyncBool(bool& value)
{
    Buffer buffer;
    buffer.WriteBoolean(value);
    DemoSyncBuffer(buffer);
    buffer.SeekFront();
    value = buffer.ReadBoolean();
}

} // namespace Kavo

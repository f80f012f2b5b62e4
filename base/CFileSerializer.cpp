#include "base/CFileSerializer.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Kavo
{

CFileSerializer::CFileSerializer(std::string path, bool reading, int version)
    : mPath(std::move(path)), mReading(reading)
{
    if (!mReading)
    {
        mOpen = true;
        mVersion = version;
        int32_t word = version;
        SerializeInt(word);
        return;
    }
    mOpen = platform::ReadFile(mPath, mData);
    if (!mOpen) mData.clear();
    int32_t word = 0;
    SerializeInt(word);
    mVersion = Failed() ? 0 : word;
}

CFileSerializer::~CFileSerializer()
{
    Close();
}

void CFileSerializer::Serialize(void* bytes, int count)
{
    if (count <= 0)
    {
        if (count < 0) SetFailed();
        return;
    }
    if (!mReading)
    {
        if (mClosed)
        {
            SetFailed();
            return;
        }
        mData.append(static_cast<const char*>(bytes), size_t(count));
        return;
    }
    size_t available = mData.size() - mPosition;
    size_t take = std::min(available, size_t(count));
    std::memcpy(bytes, mData.data() + mPosition, take);
    mPosition += take;
    if (take < size_t(count))
    {
        std::memset(static_cast<char*>(bytes) + take, 0, size_t(count) - take);
        SetFailed();
    }
}

bool CFileSerializer::Close()
{
    if (mClosed) return mCloseResult;
    mClosed = true;
    if (mReading)
    {
        mData.clear();
        mCloseResult = true;
        return true;
    }
    mCloseResult = !Failed() && platform::WriteFileAtomically(mPath, mData);
    if (!mCloseResult) mOpen = false;
    mData.clear();
    return mCloseResult;
}

} // namespace Kavo

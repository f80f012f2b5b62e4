#include "base/Buffer.h"

#include "base/PakFile.h"

#include <cstdint>

namespace Kavo
{

void Buffer::Clear()
{
    mData.clear();
    mBitSize = mReadBitPos = mWriteBitPos = 0;
}

void Buffer::SetData(const uint8_t* data, int count)
{
    if (count < 0) count = 0;
    mData.assign(data, data + count);
    mBitSize = int64_t(count) * 8;
}

void Buffer::WriteByte(uint8_t value)
{
    size_t byteIndex = size_t(mWriteBitPos / 8);
    int offset = int(mWriteBitPos % 8);
    if (mData.size() < byteIndex + 1) mData.resize(byteIndex + 1, 0);
    if (offset == 0)
    {
        mData[byteIndex] = value;
    }
    else
    {
        mData[byteIndex] |= uint8_t(value << offset);
        if (mData.size() < byteIndex + 2) mData.resize(byteIndex + 2, 0);
        mData[byteIndex + 1] |= uint8_t(value >> (8 - offset));
    }
    mWriteBitPos += 8;
    if (mWriteBitPos > mBitSize) mBitSize = mWriteBitPos;
}

void Buffer::WriteNumBits(int value, int count)
{
    for (int i = 0; i < count && i < 32; ++i)
    {
        size_t byteIndex = size_t(mWriteBitPos / 8);
        if (mData.size() < byteIndex + 1) mData.resize(byteIndex + 1, 0);
        if ((uint32_t(value) >> i) & 1) mData[byteIndex] |= uint8_t(1 << (mWriteBitPos % 8));
        ++mWriteBitPos;
    }
    if (mWriteBitPos > mBitSize) mBitSize = mWriteBitPos;
}

void Buffer::WriteBoolean(bool value)
{
    WriteByte(value ? 1 : 0);
}

void Buffer::WriteShort(int16_t value)
{
    WriteByte(uint8_t(uint16_t(value) & 0xFF));
    WriteByte(uint8_t(uint16_t(value) >> 8));
}

void Buffer::WriteLong(int32_t value)
{
    for (int i = 0; i < 4; ++i)
        WriteByte(uint8_t((uint32_t(value) >> (8 * i)) & 0xFF));
}

void Buffer::WriteString(const std::string& text)
{
    size_t length = text.size() > 32767 ? 32767 : text.size();
    WriteShort(int16_t(length));
    WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), int(length));
}

void Buffer::WriteBytes(const uint8_t* data, int count)
{
    for (int i = 0; i < count; ++i)
        WriteByte(data[i]);
}

uint8_t Buffer::ReadByte()
{
    // The byte holding the last of the 8 bits must be inside the data.
    if ((mReadBitPos + 7) / 8 >= int64_t(mData.size()) || mReadBitPos + 8 > mBitSize) return 0;
    size_t byteIndex = size_t(mReadBitPos / 8);
    int offset = int(mReadBitPos % 8);
    uint8_t value = offset == 0
                        ? mData[byteIndex]
                        : uint8_t((mData[byteIndex] >> offset) | (mData[byteIndex + 1] << (8 - offset)));
    mReadBitPos += 8;
    return value;
}

int Buffer::ReadNumBits(int count, bool signExtend)
{
    uint32_t value = 0;
    bool lastBit = false;
    for (int i = 0; i < count && i < 32; ++i)
    {
        size_t byteIndex = size_t(mReadBitPos / 8);
        if (byteIndex >= mData.size() || mReadBitPos >= mBitSize) break;
        lastBit = (mData[byteIndex] >> (mReadBitPos % 8)) & 1;
        if (lastBit) value |= uint32_t(1) << i;
        ++mReadBitPos;
    }
    if (signExtend && lastBit && count < 32) value |= ~uint32_t(0) << count;
    return int(value);
}

bool Buffer::ReadBoolean()
{
    return ReadByte() != 0;
}

int16_t Buffer::ReadShort()
{
    uint16_t low = ReadByte();
    uint16_t high = ReadByte();
    return int16_t(low | (high << 8));
}

int32_t Buffer::ReadLong()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(ReadByte()) << (8 * i);
    return int32_t(value);
}

std::string Buffer::ReadString()
{
    int length = ReadShort();
    if (length <= 0) return std::string();
    if (length > BytesLeft()) length = BytesLeft();
    std::string text;
    text.reserve(size_t(length));
    for (int i = 0; i < length; ++i)
        text.push_back(char(ReadByte()));
    return text;
}

void Buffer::ReadBytes(uint8_t* data, int count)
{
    for (int i = 0; i < count; ++i)
        data[i] = ReadByte();
}

bool ReadFileToBuffer(const std::string& path, Buffer& buffer)
{
    PakFileHandle* file = PakFOpen(path.c_str(), "rb");
    if (!file) return false;
    PakFSeek(file, 0, kPakSeekEnd);
    long size = PakFTell(file);
    PakFSeek(file, 0, kPakSeekSet);
    // Positions are counted in bits in an int.
    if (size < 0 || size > long(INT32_MAX / 8))
    {
        PakFClose(file);
        return false;
    }
    std::vector<uint8_t> data(size_t(size) + 1);
    size_t got = PakFRead(data.data(), 1, size_t(size), file);
    PakFClose(file);
    buffer.Clear();
    buffer.SetData(data.data(), int(got));
    return true;
}

} // namespace Kavo

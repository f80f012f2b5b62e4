#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kavo
{

// A byte buffer with bit-granular read and write positions; it carries demo streams.
// Bit k of the stream is bit (k mod 8) of byte k / 8. Numbers are written low byte first; a
// string is a 16-bit length and its bytes (no terminator). Every write goes to the write
// position; reads past the end give 0 and leave the read position where it was.
class Buffer
{
public:
    Buffer() = default;
    virtual ~Buffer() = default;

    // Drops the data; bit size, read and write positions to 0.
    void Clear();
    // Read position to 0.
    void SeekFront() { mReadBitPos = 0; }
    // Replaces the data by a copy of count bytes; bit size = 8 x count. Positions stay.
    void SetData(const uint8_t* data, int count);

    void WriteByte(uint8_t value);
    // The low count bits of value (count 0 to 32), lowest first.
    void WriteNumBits(int value, int count);
    void WriteBoolean(bool value);
    void WriteShort(int16_t value);
    void WriteLong(int32_t value);
    // Writers keep strings to 32,767 bytes: longer ones are cut there, since the reader takes
    // the length as signed.
    void WriteString(const std::string& text);
    void WriteBytes(const uint8_t* data, int count);

    uint8_t ReadByte();
    // count bits (up to 32), lowest first; with signExtend a set last bit fills the bits above.
    int ReadNumBits(int count, bool signExtend);
    bool ReadBoolean();
    int16_t ReadShort();
    int32_t ReadLong();
    // A negative length reads as an empty string; a length past the end takes only the bytes
    // that are left.
    std::string ReadString();
    void ReadBytes(uint8_t* data, int count);

    // First byte, or nullptr while empty.
    const uint8_t* GetDataPtr() const { return mData.empty() ? nullptr : mData.data(); }
    // (bit size + 7) / 8.
    int GetDataLen() const { return int((mBitSize + 7) / 8); }
    bool AtEnd() const { return mReadBitPos >= mBitSize; }
    // Whole bytes left to read.
    int BytesLeft() const { return AtEnd() ? 0 : int((mBitSize - mReadBitPos) / 8); }

    int64_t GetReadBitPos() const { return mReadBitPos; }
    void SetReadBitPos(int64_t bitPos) { mReadBitPos = bitPos; }
    int64_t GetWriteBitPos() const { return mWriteBitPos; }
    int64_t GetBitSize() const { return mBitSize; }

private:
    std::vector<uint8_t> mData;
    int64_t mBitSize = 0;
    int64_t mReadBitPos = 0;
    int64_t mWriteBitPos = 0;
};

// Reads a whole file into the buffer (cleared first); false when it cannot be opened.
bool ReadFileToBuffer(const std::string& path, Buffer& buffer);

} // namespace Kavo

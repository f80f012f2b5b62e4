#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// A binary stream that is either read or written: every saved record has one Serialize
// operation for both directions, and the serializer says which one runs.
//
// Numbers are little-endian whatever the machine: int32 and IEEE float as 4 bytes, bool as
// 1 byte (0 or 1; any non-zero byte reads as true). A text is an int32 length followed by
// that many bytes, with no terminator; zero bytes inside a text are kept.
//
// Reading never fails loudly: a short or damaged stream sets Failed() and the missing
// bytes read as zero, so a reader checks Failed() once at the end and throws away what it
// read.
class Serializer
{
public:
    virtual ~Serializer();

    // Reading: fills count bytes at bytes from the stream (zeros past its end, and Failed()).
    // Writing: appends count bytes from bytes.
    virtual void Serialize(void* bytes, int count) = 0;
    // The version word of the stream (written first, or read first).
    virtual int GetVersion() const = 0;
    virtual bool IsReading() const = 0;

    void SerializeInt(int32_t& value);
    void SerializeFloat(float& value);
    void SerializeBool(bool& value);
    // Reading a negative length, or one longer than the rest of the stream, fails and leaves
    // the text empty.
    void SerializeString(std::string& text);

    // True once a read ran short, a length was impossible or a write could not be done.
    bool Failed() const { return mFailed; }

protected:
    void SetFailed() { mFailed = true; }

private:
    bool mFailed = false;
};

} // namespace Kavo

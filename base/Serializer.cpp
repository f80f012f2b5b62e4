#include "base/Serializer.h"

#include "platform/files/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace Kavo
{

namespace
{
// A text is read in pieces of at most this many bytes, so that a damaged length cannot make
// the reader reserve memory the stream does not hold.
constexpr int32_t kStringChunk = 64 * 1024;
} // namespace

Serializer::~Serializer() = default;

void Serializer::SerializeInt(int32_t& value)
{
    uint8_t bytes[4];
    platform::StoreLE32(bytes, uint32_t(value));
    Serialize(bytes, 4);
    if (IsReading()) value = int32_t(platform::LoadLE32(bytes));
}

void Serializer::SerializeFloat(float& value)
{
    int32_t word = std::bit_cast<int32_t>(value);
    SerializeInt(word);
    if (IsReading()) value = std::bit_cast<float>(word);
}

void Serializer::SerializeBool(bool& value)
{
    uint8_t byte = value ? 1 : 0;
    Serialize(&byte, 1);
    if (IsReading()) value = byte != 0;
}

void Serializer::SerializeString(std::string& text)
{
    if (!IsReading())
    {
        int32_t length = int32_t(std::min<size_t>(text.size(), INT32_MAX));
        SerializeInt(length);
        if (length > 0) Serialize(text.data(), length);
        return;
    }

    int32_t length = 0;
    SerializeInt(length);
    text.clear();
    if (length < 0)
    {
        SetFailed();
        return;
    }
    while (length > 0 && !Failed())
    {
        int32_t piece = std::min(length, kStringChunk);
        size_t at = text.size();
        text.resize(at + size_t(piece));
        Serialize(text.data() + at, piece);
        length -= piece;
    }
    if (Failed()) text.clear();
}

} // namespace Kavo

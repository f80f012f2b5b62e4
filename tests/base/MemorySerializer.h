#pragma once

#include "base/Serializer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace KavoTest
{

// A serializer over a byte string, for tests: write into one, then read from a second made
// from its bytes. Reading past the end behaves as a short file does.
class MemorySerializer : public Kavo::Serializer
{
public:
    // A writer with no version word.
    MemorySerializer() = default;
    // A reader over bytes.
    explicit MemorySerializer(std::string bytes) : mReading(true), mBytes(std::move(bytes)) {}

    void Serialize(void* bytes, int count) override
    {
        if (count <= 0) return;
        if (!mReading)
        {
            mBytes.append(static_cast<const char*>(bytes), size_t(count));
            return;
        }
        size_t take = std::min(mBytes.size() - mPosition, size_t(count));
        std::memcpy(bytes, mBytes.data() + mPosition, take);
        std::memset(static_cast<char*>(bytes) + take, 0, size_t(count) - take);
        mPosition += take;
        if (take < size_t(count)) SetFailed();
    }
    int GetVersion() const override { return 0; }
    bool IsReading() const override { return mReading; }

    const std::string& Bytes() const { return mBytes; }
    size_t Position() const { return mPosition; }

private:
    bool mReading = false;
    std::string mBytes;
    size_t mPosition = 0;
};

// The bytes an object's Serialize writes; the writing must succeed.
template <typename T>
std::string SavedBytes(T& object)
{
    MemorySerializer writer;
    EXPECT_TRUE(object.Serialize(writer));
    return writer.Bytes();
}

} // namespace KavoTest

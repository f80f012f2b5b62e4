#pragma once

#include <cstdint>
#include <string_view>

namespace platform
{

// A whole file mapped read-only into memory. The bytes stay valid until Close or the
// destructor; the object cannot be copied, only moved.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;

    // Maps the file (the name is resolved as platform::ResolvePath does). False, with
    // nothing mapped, when it does not exist, is a folder, is empty or cannot be mapped.
    bool Open(std::string_view path);
    void Close();

    bool IsOpen() const { return mData != nullptr; }
    const uint8_t* Data() const { return mData; }
    uint64_t Size() const { return mSize; }

private:
    const uint8_t* mData = nullptr;
    uint64_t mSize = 0;
};

} // namespace platform

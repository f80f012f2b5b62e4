#include "platform/files/MappedFile.h"

#include "platform/files/Files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace platform
{

MappedFile::~MappedFile()
{
    Close();
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : mData(std::exchange(other.mData, nullptr)), mSize(std::exchange(other.mSize, 0))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        mData = std::exchange(other.mData, nullptr);
        mSize = std::exchange(other.mSize, 0);
    }
    return *this;
}

bool MappedFile::Open(std::string_view path)
{
    Close();
    std::string resolved = ResolvePath(path);
    if (resolved.empty()) return false;
    int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
    {
        ::close(fd);
        return false;
    }
    void* data = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd); // the mapping keeps the file alive
    if (data == MAP_FAILED) return false;
    mData = static_cast<const uint8_t*>(data);
    mSize = uint64_t(st.st_size);
    return true;
}

void MappedFile::Close()
{
    if (mData) ::munmap(const_cast<uint8_t*>(mData), size_t(mSize));
    mData = nullptr;
    mSize = 0;
}

} // namespace platform

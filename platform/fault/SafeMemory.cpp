#include "platform/fault/SafeMemory.h"

#include <cerrno>
#include <sys/uio.h>
#include <unistd.h>

namespace platform
{

namespace
{

// Through a pipe of its own: the kernel copies from the address and reports EFAULT instead of
// faulting. Used where reading one's own memory through process_vm_readv is not allowed.
bool ReadThroughPipe(uint64_t address, void* out, size_t count)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    bool ok = write(fds[1], reinterpret_cast<const void*>(address), count) == ssize_t(count) &&
              read(fds[0], out, count) == ssize_t(count);
    close(fds[0]);
    close(fds[1]);
    return ok;
}

} // namespace

bool SafeRead(uint64_t address, void* out, size_t count)
{
    if (count == 0) return true;
    if (address == 0 || address + count < address) return false;
    iovec local = {out, count};
    iovec remote = {reinterpret_cast<void*>(address), count};
    int saved = errno;
    ssize_t got = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    bool ok = got == ssize_t(count);
    if (got < 0 && errno != EFAULT) ok = count <= 4096 && ReadThroughPipe(address, out, count);
    errno = saved;
    return ok;
}

} // namespace platform

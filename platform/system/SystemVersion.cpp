#include "platform/system/SystemVersion.h"

#include <sys/utsname.h>

namespace platform
{

SystemVersion GetSystemVersion()
{
    SystemVersion version;
    utsname names;
    if (uname(&names) != 0) return version;
    version.system = names.sysname;
    version.release = names.release;
    version.machine = names.machine;
    return version;
}

} // namespace platform

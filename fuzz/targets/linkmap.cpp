// Link map files: the crash report's logical addresses rewritten with the names and source lines
// of the "*.map" file in the working folder. Only the map reader is linked in, not the crash
// handler, which would take the sanitizers' signals.
#include "crash/CrashHandler.h"
#include "fuzz/FuzzTarget.h"
#include "platform/files/Files.h"

KAVO_FUZZ_TARGET(linkmap)
{
    fuzz::WriteInput("game.map", data, size);
    std::string report = "Logical Address: 0001:00000234\r\n"
                         "Stack: 0001:00000240 0001:0000030B 0002:00000005 0003:00000000\r\n"
                         "0004:00000010 0005:00000001 FFFF:FFFFFFFF 0001:00000500\r\n"
                         "cut at the end 0004:00023";
    // The map is looked for in the working folder; libFuzzer's own paths are relative to the
    // folder it started in, so that one comes back at once.
    const std::string started = platform::CurrentFolder();
    platform::SetCurrentFolder(fuzz::Folder());
    Kavo::CrashHandler::LookupMapFile(report);
    platform::SetCurrentFolder(started);
    return 0;
}

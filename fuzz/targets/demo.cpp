// Demo files: the header, markers and the recorded updates, for this program's version.
#include "app/DemoFile.h"
#include "fuzz/FuzzTarget.h"

KAVO_FUZZ_TARGET(demo)
{
    const std::string path = fuzz::WriteInput("input.dmo", data, size);
    Kavo::DemoFileContents demo;
    std::string error;
    (void)Kavo::ReadDemoFile(path, "1.01", demo, error);
    return 0;
}

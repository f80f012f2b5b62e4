// The text table ("properties\strings.txt"): read, then a text looked up with inserts.
#include "base/StringTable.h"
#include "fuzz/FuzzTarget.h"

KAVO_FUZZ_TARGET(strings)
{
    const std::string path = fuzz::WriteInput("strings.txt", data, size);
    if (!Kavo::StringTable::LoadFile(path)) return 0;
    for (int number = 0; number < 4; ++number)
        (void)Kavo::StringTable::GetString(number, "one", "two");
    return 0;
}

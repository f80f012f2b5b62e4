#pragma once

#include "platform/Library.h"

// The built-in modules behind LoadLibrary: each is a table of named entry points ending with
// a null name.
namespace platform
{

struct LibraryEntry
{
    const char* name;
    EntryPoint function;
};

const LibraryEntry* Jpeg2000CodecEntries();

} // namespace platform

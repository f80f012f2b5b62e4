#pragma once

#include "platform/system/Library.h"

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
const LibraryEntry* SoundDeviceEntries();
const LibraryEntry* BassEntries();
const LibraryEntry* FModEntries();

// Tests: the module of that file name (a string that outlives the override) becomes this table
// of entries, in place of a built-in one, until overridden again; nullptr removes the override.
void OverrideLibrary(const char* fileName, const LibraryEntry* entries);

} // namespace platform

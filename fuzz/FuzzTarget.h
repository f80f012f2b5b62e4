#pragma once

// One fuzz target per reader of outside data. A target is written once:
//
//   KAVO_FUZZ_TARGET(xml)
//   {
//       ... hand data[0..size) to the reader ...
//       return 0;
//   }
//
// Built for libFuzzer (the fuzz preset) it becomes the program's LLVMFuzzerTestOneInput; built
// with the ordinary compiler it registers itself by name with the replay program, which feeds it
// every saved input of fuzz/corpus/<name>/ and fuzz/crashes/<name>/.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz
{

using TargetFunction = int (*)(const uint8_t* data, size_t size);

// Enters a target in the replay program's table.
struct Registration
{
    Registration(const char* name, TargetFunction function);
};

// The target's own scratch folder (made on first use, ending in "/"), below the build tree.
const std::string& Folder();

// The replay program runs every target from one build folder, side by side under CTest: each
// gets a folder of its own below it, so that none reads what another wrote (a sound target
// looks for its file under every sound extension).
void UseFolderOfTarget(const std::string& name);

// Writes the input to a file of that name in Folder() and returns its full path: for readers
// that take a file name.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);
std::string WriteInput(const std::string& name, std::string_view contents);

// The input as text.
inline std::string_view AsText(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace fuzz

#define KAVO_FUZZ_CONCAT2(a, b) a##b
#define KAVO_FUZZ_CONCAT(a, b) KAVO_FUZZ_CONCAT2(a, b)

#ifdef KAVO_FUZZ_LIBFUZZER
#define KAVO_FUZZ_TARGET(name)                                                                               \
    static int KavoFuzz_##name(const uint8_t* data, size_t size);                                            \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                  \
    {                                                                                                        \
        return KavoFuzz_##name(data, size);                                                                  \
    }                                                                                                        \
    static int KavoFuzz_##name(const uint8_t* data, size_t size)
#else
#define KAVO_FUZZ_TARGET(name)                                                                               \
    static int KavoFuzz_##name(const uint8_t* data, size_t size);                                            \
    static const fuzz::Registration KAVO_FUZZ_CONCAT(gRegistration_, name)(#name, KavoFuzz_##name);          \
    static int KavoFuzz_##name(const uint8_t* data, size_t size)
#endif

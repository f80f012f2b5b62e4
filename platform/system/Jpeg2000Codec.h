#pragma once

// The JPEG 2000 codec module "j2k-codec.dll": a stand-in over OpenJPEG. Its entry points, as the
// image reader looks them up by name, with their types:
//
//   "_J2K_getVersion@0"               int ()                           0x120000 or above
//   "_J2K_OpenCustom@8"               J2KImage* (void* user, const J2KStreamCallbacks*)
//   "_J2K_OpenFile@4"                 J2KImage* (const char* path)
//   "_J2K_Close@4"                    void (J2KImage*)
//   "_J2K_GetInfo@16"                 int (J2KImage*, int* width, int* height, int* components)
//   "_J2K_GetResolutionDimensions@16" int (J2KImage*, int resolution, int* width, int* height)
//   "_J2K_Decode@20"                  int (J2KImage*, unsigned char* pixels, int size,
//                                          const char* options, int pitch)
//   "_J2K_getLastError@0"             int ()
//   "_J2K_getErrorStr@4"              const char* (int error)
//
// Results: the open functions give nullptr on failure; the others 0 on success, else an error
// code whose text getErrorStr gives. Decode writes 4-byte pixels (blue, green, red, alpha) of
// resolution 0, pitch bytes per row, into size bytes; the options text is "bpp=4,rl=0".
namespace platform
{

struct J2KImage;

struct J2KStreamCallbacks
{
    // Moves to offset bytes from the start; 0 on success.
    int (*seek)(void* user, long offset);
    // Reads up to size bytes; the number read (0 at the end).
    int (*read)(void* buffer, int size, void* user);
    int (*reserved)(void* user);
};

constexpr int kJ2KVersion = 0x120000;

} // namespace platform

#pragma once

#include "base/Serializer.h"

#include <string>

namespace Kavo
{

// The serializer over one file, with a 4-byte version word first.
//
// Reading takes the whole file in at construction; the version is the file's first word
// (0, and Failed(), when the file is missing or shorter than that).
// Writing collects the bytes in memory and replaces the file atomically when Close() runs
// (or the destructor, for a serializer that was not closed): a reader never sees half a
// file, and a failed write leaves the old file as it was.
class CFileSerializer : public Serializer
{
public:
    CFileSerializer(std::string path, bool reading, int version);
    ~CFileSerializer() override;
    CFileSerializer(const CFileSerializer&) = delete;
    CFileSerializer& operator=(const CFileSerializer&) = delete;

    void Serialize(void* bytes, int count) override;
    int GetVersion() const override { return mVersion; }
    bool IsReading() const override { return mReading; }

    // Reading: the file could be read. Writing: true until a write fails.
    bool IsOpen() const { return mOpen; }
    // Writing: writes the file unless a failure was met; true when the file now holds
    // everything serialized. Reading: true. Only the first call does anything.
    bool Close();

private:
    std::string mPath;
    bool mReading;
    int mVersion = 0;
    bool mOpen = false;
    bool mClosed = false;
    bool mCloseResult = false;
    std::string mData;
    size_t mPosition = 0; // reading: next byte of mData
};

} // namespace Kavo

#include "app/DemoFile.h"

#include "platform/files/Files.h"

namespace Kavo
{

namespace
{

// Demo files larger than this are refused: stream positions are counted in bits in an int.
constexpr uint64_t kMaxDemoFileSize = 256u << 20;

const char* const kInvalid = "Invalid demo file.";

} // namespace

bool ReadDemoFile(const std::string& path, const std::string& productVersion, DemoFileContents& demo,
                  std::string& error)
{
    // A file too large, or a device or pipe, is refused without being read.
    std::string bytes;
    platform::ReadFailure failure = platform::ReadFailure::None;
    if (!platform::ReadFile(path, bytes, kMaxDemoFileSize, &failure))
    {
        bool opened =
            failure == platform::ReadFailure::NotRegularFile || failure == platform::ReadFailure::TooLarge;
        error = opened && !platform::IsDirectory(path) ? kInvalid : "Demo file not found: " + path;
        return false;
    }

    Buffer in;
    in.SetData(reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size()));
    if (in.BytesLeft() < 4 || uint32_t(in.ReadLong()) != kDemoMagic) return (error = kInvalid, false);
    if (in.BytesLeft() < 10) return (error = kInvalid, false);
    demo.formatVersion = uint32_t(in.ReadLong());
    demo.seed = uint32_t(in.ReadLong());

    // The version text: at most 255 bytes of it, and never more than the file holds.
    int versionLength = uint16_t(in.ReadShort());
    int taken = versionLength > 255 ? 255 : versionLength;
    if (taken > in.BytesLeft()) taken = in.BytesLeft();
    demo.version.assign(bytes, size_t(in.GetReadBitPos() / 8), size_t(taken));
    in.SetReadBitPos(in.GetReadBitPos() + int64_t(taken) * 8);
    if (demo.version != productVersion)
    {
        error = "This demo file appears to be for '" + demo.version + "'";
        return false;
    }

    int64_t remaining = in.BytesLeft();
    demo.markers.clear();
    if (demo.formatVersion >= 2)
    {
        if (remaining < 4) return (error = kInvalid, false);
        uint32_t blockLength = uint32_t(in.ReadLong());
        remaining -= 4;
        if (int64_t(blockLength) >= remaining) return (error = kInvalid, false);
        Buffer block;
        block.SetData(reinterpret_cast<const uint8_t*>(bytes.data()) + in.GetReadBitPos() / 8,
                      int(blockLength));
        in.SetReadBitPos(in.GetReadBitPos() + int64_t(blockLength) * 8);
        remaining -= blockLength;
        // The count is only believed as far as the block holds markers: nothing is reserved.
        uint32_t count = uint32_t(block.ReadLong());
        uint32_t read = 0;
        while (read < count && !block.AtEnd())
        {
            DemoMarker marker;
            marker.name = block.ReadString();
            marker.updateCount = block.ReadLong();
            demo.markers.push_back(std::move(marker));
            ++read;
        }
        if (read < count) return (error = kInvalid, false);
    }

    if (remaining < 4) return (error = kInvalid, false);
    demo.finalUpdateCount = uint32_t(in.ReadLong());
    remaining -= 4;
    if (remaining <= 0) return (error = kInvalid, false);

    demo.events.Clear();
    demo.events.SetData(reinterpret_cast<const uint8_t*>(bytes.data()) + in.GetReadBitPos() / 8,
                        int(remaining));
    demo.events.SeekFront();
    return true;
}

bool WriteDemoFile(const std::string& path, const DemoFileContents& demo)
{
    Buffer out;
    out.WriteLong(int32_t(kDemoMagic));
    out.WriteLong(2);
    out.WriteLong(int32_t(demo.seed));
    std::string version = demo.version.substr(0, 0xFFFF);
    out.WriteShort(int16_t(uint16_t(version.size())));
    out.WriteBytes(reinterpret_cast<const uint8_t*>(version.data()), int(version.size()));
    Buffer block;
    block.WriteLong(int32_t(demo.markers.size()));
    for (const DemoMarker& marker : demo.markers)
    {
        block.WriteString(marker.name);
        block.WriteLong(marker.updateCount);
    }
    out.WriteLong(block.GetDataLen());
    if (block.GetDataPtr()) out.WriteBytes(block.GetDataPtr(), block.GetDataLen());
    out.WriteLong(int32_t(demo.finalUpdateCount));
    if (demo.events.GetDataPtr()) out.WriteBytes(demo.events.GetDataPtr(), demo.events.GetDataLen());
    std::string image(reinterpret_cast<const char*>(out.GetDataPtr()), size_t(out.GetDataLen()));
    return platform::WriteFileAtomically(path, image);
}

} // namespace Kavo

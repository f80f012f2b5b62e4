#include "platform/display/RowConverter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace
{

using platform::PixelFormat;

// What a pixel shows, a channel at a time: the reference the table rows are held to.
uint32_t OnePixel(uint32_t raw, const PixelFormat& f)
{
    return 0xFF000000u | platform::ChannelByte(raw, f.redMask) << 16 |
           platform::ChannelByte(raw, f.greenMask) << 8 | platform::ChannelByte(raw, f.blueMask);
}

struct NamedFormat
{
    const char* name;
    PixelFormat format;
};

// Every 16-bit pixel of each layout the screen may take, and a sample of 32-bit ones, converted
// a row at a time from an odd address, equal the channel-by-channel conversion.
TEST(RowConverter, RowsEqualThePixelByPixelConversion)
{
    const std::vector<NamedFormat> formats = {
        {"565", PixelFormat::Rgb565()},
        {"555", PixelFormat::Rgb555()},
        {"16-bit BGR", PixelFormat{platform::kPixelRgb, 16, 0x001F, 0x07E0, 0xF800, 0}},
        {"4444", PixelFormat{platform::kPixelRgb, 16, 0x0F00, 0x00F0, 0x000F, 0}},
        {"32-bit RGB", PixelFormat::Rgb32()},
        {"32-bit BGR", PixelFormat::Bgr32()},
        {"32-bit 10-bit channels",
         PixelFormat{platform::kPixelRgb, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0}},
    };
    std::mt19937 random(7);
    for (const NamedFormat& f : formats)
    {
        const int bytes = f.format.bitCount / 8;
        std::vector<uint32_t> raws;
        if (bytes == 2)
            for (uint32_t v = 0; v < 65536; ++v)
                raws.push_back(v);
        else
            for (int i = 0; i < 65536; ++i)
                raws.push_back(random());
        std::vector<uint8_t> row(raws.size() * size_t(bytes) + 1);
        for (size_t i = 0; i < raws.size(); ++i)
            std::memcpy(row.data() + 1 + i * size_t(bytes), &raws[i], size_t(bytes));
        std::vector<uint32_t> out(raws.size());
        platform::RowConverter converter(f.format);
        EXPECT_EQ(converter.IsCopy(), f.format == PixelFormat::Rgb32()) << f.name;
        converter.ToArgb(row.data() + 1, out.data(), int(raws.size()));
        for (size_t i = 0; i < raws.size(); ++i)
        {
            uint32_t raw = raws[i] & (bytes == 2 ? 0xFFFFu : 0xFFFFFFFFu);
            ASSERT_EQ(out[i], OnePixel(raw, f.format)) << f.name << " pixel " << std::hex << raw;
        }
    }
}

// The exact expansion of the top bits into the low ones, in a 565 row.
TEST(RowConverter, A565RowWidensEachChannelByRepeatingItsTopBits)
{
    const uint16_t pixels[] = {0xF800, 0x07E0, 0x001F, 0x8410, 0x0000, 0xFFFF};
    const uint32_t expected[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848284, 0xFF000000, 0xFFFFFFFF};
    uint32_t out[6];
    platform::RowConverter(PixelFormat::Rgb565()).ToArgb(reinterpret_cast<const uint8_t*>(pixels), out, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
}

} // namespace

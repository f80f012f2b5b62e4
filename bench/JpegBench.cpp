// Loading an 800 x 600 JPEG through the program's image loader beside libjpeg decoding the same
// bytes in the same process. Items are pixels.
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "graphics/ImageLib.h"
#include "platform/files/Files.h"
#include "tests/graphics/ImageFixtures.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace
{

constexpr int kWidth = 800, kHeight = 600;

// A picture with smooth shading and fine detail, as a background of the game has, coded at
// quality 90 with the usual halved colour resolution.
std::string MakePicture()
{
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            double wave = std::sin(x * 0.05) * std::cos(y * 0.07);
            double ring = std::sin(std::hypot(x - 400.0, y - 300.0) * 0.15);
            uint32_t r = uint32_t(std::lround(127.5 + 60.0 * wave + 60.0 * ring)) & 0xFF;
            uint32_t g = uint32_t(x * 255 / kWidth + ((x * 7 + y * 13) % 17)) & 0xFF;
            uint32_t b = uint32_t((y * 255 / kHeight) ^ ((x >> 3) & 0x1F)) & 0xFF;
            pixels[size_t(y) * kWidth + size_t(x)] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    return imagefixture::MakeJpeg(kWidth, kHeight, pixels, 3, 90);
}

struct Fixture
{
    std::string folder;
    std::string path;
    std::string bytes;

    Fixture()
    {
        folder = (std::filesystem::temp_directory_path() / "kavo-jpeg-bench").string() + "/";
        std::filesystem::create_directories(folder);
        bytes = MakePicture();
        path = folder + "picture.jpg";
        platform::WriteFileAtomically(path, bytes);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& GetFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_JpegLoader(benchmark::State& state)
{
    Kavo::PakInterface empty; // no archive: the file comes from the disk
    Kavo::PakInterfaceBase* previous = Kavo::SetPakInterfacePointer(&empty);
    const std::string& path = GetFixture().path;
    for (auto _ : state)
    {
        std::unique_ptr<ImageLib::Image> image = ImageLib::GetImage(path, false);
        if (!image)
        {
            state.SkipWithError("the loader refused the picture");
            break;
        }
        benchmark::DoNotOptimize(image->bits.get());
    }
    Kavo::SetPakInterfacePointer(previous);
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_JpegLoader)->Unit(benchmark::kMillisecond);

// libjpeg alone: the same bytes, already in memory, decoded to RGB rows in a buffer of its own.
void BM_JpegLibjpegDirect(benchmark::State& state)
{
    const std::string& bytes = GetFixture().bytes;
    std::vector<JSAMPLE> pixels(size_t(kWidth) * kHeight * 3);
    for (auto _ : state)
    {
        jpeg_decompress_struct info;
        jpeg_error_mgr err;
        info.err = jpeg_std_error(&err);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height)
        {
            JSAMPROW row = &pixels[size_t(info.output_scanline) * kWidth * 3];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_JpegLibjpegDirect)->Unit(benchmark::kMillisecond);

} // namespace

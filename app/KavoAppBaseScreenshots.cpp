// Screenshots and the image dump: the screen as the next numbered PNG file, and every live image
// on an HTML page with its memory use, a thumbnail and a full copy. Both write below the per-user
// data folder.
#include "app/KavoAppBase.h"

#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "display/TextureData.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "platform/display/DisplaySurface.h"
#include "platform/files/Files.h"
#include "platform/system/Clock.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <vector>

namespace Kavo
{

namespace
{

constexpr int kThumbnailSize = 64;
// Making the dump folder is tried this often, 100 ms apart, before the dump gives up.
constexpr int kDumpFolderTries = 10;
constexpr uint32_t kDumpFolderRetryMs = 100;

// The number of a screenshot's file name: "image" followed by a number read as "%d" reads one
// (white space, a sign, digits; held within the int range). False when no number follows.
bool ScreenshotNumber(const std::string& name, int64_t& number)
{
    const std::string stem = "image";
    if (name.compare(0, stem.size(), stem) != 0) return false;
    size_t i = stem.size();
    while (i < name.size() && IsSpaceByte(name[i]))
        ++i;
    bool negative = false;
    if (i < name.size() && (name[i] == '+' || name[i] == '-')) negative = name[i++] == '-';
    size_t first = i;
    int64_t value = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (name[i] - '0'), int64_t(INT_MAX) + 1);
    if (i == first) return false;
    number = std::clamp<int64_t>(negative ? -value : value, INT_MIN, INT_MAX);
    return true;
}

// A surface's pixels, each channel widened from its mask to 8 bits, read under a read-only lock
// (or the image's own lock while it holds one), the image left as it is. The colour key, when
// the surface has one, reads back as transparent. False when the surface cannot be read.
bool CopySurfacePixels(DDImage* image, ImageLib::Image& out)
{
    platform::DisplaySurface* surface = image->mSurface.get();
    if (!surface) return false;
    platform::SurfaceLock lock;
    const bool ownLock = image->mLockDepth == 0;
    if (ownLock)
    {
        if (surface->Lock(lock, platform::kLockWait | platform::kLockReadOnly) < 0) return false;
    }
    else
    {
        lock = image->mLockDesc;
    }
    const platform::PixelFormat& f = lock.format;
    const int w = std::min(image->GetWidth(), lock.width), h = std::min(image->GetHeight(), lock.height);
    bool ok = lock.bits && w > 0 && h > 0 && (f.bitCount == 16 || f.bitCount == 32) && out.Allocate(w, h);
    const SurfacePixels::RgbReader rgb(f);
    const bool wide = f.bitCount == 32;
    const uint32_t valueMask = wide ? 0xFFFFFFu : 0xFFFFu;
    uint32_t key = 0;
    const bool keyed = surface->GetColorKey(key);
    for (int y = 0; ok && y < h; ++y)
    {
        const uint8_t* row = SurfacePixels::PixelAt(lock, 0, y);
        uint32_t* to = out.bits.get() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
        {
            const uint32_t p = SurfacePixels::Load(row + size_t(x) * (wide ? 4 : 2), wide);
            const bool seeThrough = keyed && (p & valueMask) == (key & valueMask);
            to[x] = (seeThrough ? 0u : 0xFF000000u) | rgb(p);
        }
    }
    if (ownLock) surface->Unlock();
    return ok;
}

// The 32-bit pixels of an image as the image writers take them, the image left in its form: a
// palettised image is read through its palette, a surface image that holds its picture only in
// its surface from the surface, an image without 32-bit pixels from what it holds instead (its
// textures, its premultiplied form), the copy made for that dropped again. False for an empty
// image or one whose pixels cannot be had.
bool CopyPixels(MemoryImage* image, ImageLib::Image& out)
{
    int w = image->GetWidth(), h = image->GetHeight();
    if (w <= 0 || h <= 0) return false;
    size_t count = size_t(w) * size_t(h);
    if (image->IsPalettized())
    {
        if (!out.Allocate(w, h)) return false;
        for (size_t i = 0; i < count; ++i)
            out.bits[i] = image->colorTable[image->colorIndices[i]];
        return true;
    }
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    if (!image->bits && surfaceImage && surfaceImage->mSurface) return CopySurfacePixels(surfaceImage, out);
    const bool hadBits = image->bits != nullptr;
    const uint32_t* bits = image->GetBits();
    const bool copied = bits && out.Allocate(w, h);
    if (copied) std::memcpy(out.bits.get(), bits, count * sizeof(uint32_t));
    if (!hadBits) image->bits.reset();
    return copied;
}

// A kThumbnailSize square of the image by nearest sampling.
void MakeThumbnail(const ImageLib::Image& image, ImageLib::Image& thumbnail)
{
    thumbnail.Allocate(kThumbnailSize, kThumbnailSize);
    for (int y = 0; y < kThumbnailSize; ++y)
        for (int x = 0; x < kThumbnailSize; ++x)
        {
            int sx = int(double(x) * image.width / kThumbnailSize);
            int sy = int(double(y) * image.height / kThumbnailSize);
            thumbnail.bits[size_t(y) * kThumbnailSize + size_t(x)] =
                image.bits[size_t(sy) * size_t(image.width) + size_t(sx)];
        }
}

constexpr int64_t kNotCounted = -1;

// The memory figures of the dump, in the order of the page's columns.
enum Figure
{
    kBits,        // "mBits": 32-bit pixels
    kPalette,     // "Palletized": palette indices and the palette
    kSurface,     // "DDSurface": the pixels in a display surface
    kTexture,     // "Texture": the 3D renderer's textures
    kNativeAlpha, // "NativeAlpha": premultiplied pixels in the display's layout
    kRLAlpha,     // "RLAlpha": run lengths of alpha classes
    kRLAdditive,  // "RLAdditive": run lengths of non-black pixels
    kFigureCount,
};

// One image of the dump with its figures in bytes (kNotCounted where it holds no such data).
struct DumpRow
{
    MemoryImage* image = nullptr;
    int64_t figures[kFigureCount];
    int textureFormat = 0;
    int64_t total = 0;
};

DumpRow MeasureImage(MemoryImage* image)
{
    DumpRow row;
    row.image = image;
    std::fill(std::begin(row.figures), std::end(row.figures), kNotCounted);
    int64_t n = int64_t(image->GetWidth()) * image->GetHeight();
    if (image->bits) row.figures[kBits] = 4 * n;
    if (image->IsPalettized()) row.figures[kPalette] = n + 1024;
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    if (surfaceImage && surfaceImage->mSurface) row.figures[kSurface] = 4 * n;
    if (const auto* textures = static_cast<const TextureData*>(image->d3dData))
    {
        row.figures[kTexture] = textures->mBytes;
        row.textureFormat = textures->mFormat;
    }
    if (image->nativeAlphaData) row.figures[kNativeAlpha] = image->IsPalettized() ? 1024 : 4 * n;
    if (image->rlAlphaData) row.figures[kRLAlpha] = n;
    if (image->rlAdditiveData) row.figures[kRLAdditive] = n;
    for (int64_t figure : row.figures)
        if (figure != kNotCounted) row.total += figure;
    return row;
}

const char* TextureFormatName(int format)
{
    switch (format)
    {
    case 1:
        return "A8R8G8B8";
    case 2:
        return "A4R4G4B4";
    case 4:
        return "R5G6B5";
    case 8:
        return "Palette8";
    default:
        return "";
    }
}

std::string Cell(const std::string& content)
{
    return "<TD>" + content + "</TD>\n";
}

std::string FigureCell(const char* name, int64_t bytes, const std::string& extra = std::string())
{
    if (bytes == kNotCounted) return Cell("&nbsp;");
    return Cell(std::string(name) + "<BR>" + CommaSeparate(bytes) + extra);
}

std::string FlagCell(const char* name, bool set)
{
    return Cell(set ? name : "&nbsp;");
}

std::string LocalDateAndTime()
{
    std::tm local = platform::Clock::LocalTime(std::time(nullptr));
    char text[64];
    std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &local);
    return text;
}

} // namespace

bool KavoAppBase::ReadScreenImage(ImageLib::Image& image)
{
    if (!mDDInterface) return false;
    DDImage* screen = mDDInterface->GetScreenImage();
    if (!screen) return false;
    // A screen drawn through the 3D renderer is read from its surface, which it never locks
    // while it is drawn.
    const bool copied =
        screen->DrawsThrough3D() ? CopySurfacePixels(screen, image) : CopyPixels(screen, image);
    if (!copied) return false;
    // The display shows the colours alone: what the screen holds as alpha (nothing, where no
    // widget drew) is not seen, and a picture of it must not come out transparent.
    const size_t count = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < count; ++i)
        image.bits[i] |= 0xFF000000u;
    return true;
}

void KavoAppBase::TakeScreenshot()
{
    if (!mDDInterface || !mDDInterface->GetScreenImage()) return;
    std::string folder = GetAppDataFolder() + "_screenshots/";
    MakeDirectories(folder);

    int64_t largest = 0;
    for (const platform::FileEntry& entry : platform::FindFiles(folder + "*.png"))
    {
        int64_t number = 0;
        if (!entry.isDirectory && ScreenshotNumber(entry.name, number)) largest = std::max(largest, number);
    }

    ImageLib::Image image;
    if (!ReadScreenImage(image)) return;
    ImageLib::WritePNG(folder + "image" + std::to_string(largest + 1) + ".png", image);
    ResetFrameTiming();
}

void KavoAppBase::DumpImageList()
{
    const std::string folder = GetAppDataFolder() + "_dump";
    DeleteTree(folder);
    // A folder that cannot be made (a file of its name, no permission) is not waited for forever.
    bool made = false;
    for (int attempt = 0; attempt < kDumpFolderTries && !made; ++attempt)
    {
        if (attempt > 0) platform::Clock::Get().Sleep(kDumpFolderRetryMs);
        made = MakeDirectories(folder);
    }
    if (!made)
    {
        WriteErrorLog("The image dump folder " + folder + " could not be made.");
        return;
    }

    std::unique_lock<CriticalSection> lock = LockDisplay();
    std::vector<DumpRow> rows;
    int64_t grandTotal = 0;
    for (MemoryImage* image : mMemoryImages)
    {
        rows.push_back(MeasureImage(image));
        grandTotal += rows.back().total;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const DumpRow& a, const DumpRow& b) { return a.total > b.total; });

    std::string page =
        "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + LocalDateAndTime() + "</B></FONT><BR>\n";
    page += "Total Image Allocation: " + CommaSeparate(grandTotal) + " bytes<BR>\n";
    page += "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\n";
    int64_t figureTotals[kFigureCount] = {};
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const DumpRow& row = rows[i];
        MemoryImage* image = row.image;
        const std::string picture = StrFormat("img%04d.png", int(i));
        const std::string thumbnail = StrFormat("thumb%04d.jpg", int(i));
        page += "<TR>";
        page += StrFormat("<TD><A HREF=%s><IMG SRC=%s WIDTH=%d HEIGHT=%d></A></TD>\n", picture.c_str(),
                          thumbnail.c_str(), kThumbnailSize, kThumbnailSize);
        page += StrFormat("<TD ALIGN=RIGHT>%d x %d<BR>%s bytes</TD>\n", image->GetWidth(), image->GetHeight(),
                          CommaSeparate(row.total).c_str());
        page += FigureCell("mBits", row.figures[kBits]);
        page += FigureCell("Palletized", row.figures[kPalette]);
        page += FigureCell("DDSurface", row.figures[kSurface]);
        page += FigureCell("Texture", row.figures[kTexture],
                           std::string("<BR>") + TextureFormatName(row.textureFormat));
        page += FlagCell("Volatile", image->isVolatile);
        page += FlagCell("Forced", image->forcedMode);
        page += FlagCell("HasAlpha", image->hasAlpha);
        page += FlagCell("HasTrans", image->hasTrans);
        page += FigureCell("NativeAlpha", row.figures[kNativeAlpha]);
        page += FigureCell("RLAlpha", row.figures[kRLAlpha]);
        page += FigureCell("RLAdditive", row.figures[kRLAdditive]);
        page += Cell(image->filePath.empty() ? "&nbsp;" : image->filePath);
        page += "</TR>\n";

        for (int f = 0; f < kFigureCount; ++f)
            if (row.figures[f] != kNotCounted) figureTotals[f] += row.figures[f];

        ImageLib::Image pixels, small;
        if (CopyPixels(image, pixels))
        {
            MakeThumbnail(pixels, small);
            ImageLib::WriteJPEG(folder + "/" + thumbnail, small);
            ImageLib::WritePNG(folder + "/" + picture, pixels);
        }
    }
    page += "<TR>" + Cell("Totals") + Cell(CommaSeparate(grandTotal));
    for (int f = 0; f < kFigureCount; ++f)
    {
        if (f == kNativeAlpha)
            page += Cell("&nbsp;") + Cell("&nbsp;") + Cell("&nbsp;") + Cell("&nbsp;"); // flags
        page += Cell(CommaSeparate(figureTotals[f]));
    }
    page += Cell("&nbsp;") + "</TR>\n";
    page += "</TABLE></CENTER></BODY></HTML>\n";
    platform::WriteFileAtomically(folder + "/imagelist.html", page);
}

} // namespace Kavo

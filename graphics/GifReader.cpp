// The GIF reader: the first image of the file, LZW-decoded, with its transparent index.
#include "graphics/ImageLib.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ImageLib
{

namespace
{

// Bounds-checked reading of the file bytes: reads past the end give 0 and set failed.
class ByteReader
{
public:
    explicit ByteReader(const std::string& data)
        : mData(reinterpret_cast<const uint8_t*>(data.data())), mSize(data.size())
    {
    }
    bool AtEnd() const { return mPos >= mSize; }
    size_t Remaining() const { return mSize - mPos; }
    bool Failed() const { return mFailed; }
    int Byte()
    {
        if (mPos >= mSize)
        {
            mFailed = true;
            return 0;
        }
        return mData[mPos++];
    }
    int Word()
    {
        int lo = Byte();
        return lo | (Byte() << 8);
    }
    void Skip(size_t n)
    {
        if (n > mSize - mPos)
        {
            mPos = mSize;
            mFailed = true;
        }
        else
            mPos += n;
    }
    // Skips sub-blocks up to and including the zero-length terminator.
    void SkipSubBlocks()
    {
        for (;;)
        {
            int n = Byte();
            if (n == 0 || mFailed) return;
            Skip(size_t(n));
        }
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
    bool mFailed = false;
};

// Codes taken least significant bit first from the image's data sub-blocks.
class CodeReader
{
public:
    explicit CodeReader(ByteReader& in) : mIn(in) {}
    // -1 when the data is exhausted.
    int Next(int size)
    {
        while (mBits < size)
        {
            if (mBlockLeft == 0)
            {
                if (mEnded) return -1;
                mBlockLeft = mIn.Byte();
                if (mBlockLeft == 0 || mIn.Failed())
                {
                    mEnded = true;
                    return -1;
                }
            }
            mBuffer |= uint32_t(mIn.Byte()) << mBits;
            mBits += 8;
            --mBlockLeft;
            if (mIn.Failed())
            {
                mEnded = true;
                return -1;
            }
        }
        int code = int(mBuffer & ((1u << size) - 1));
        mBuffer >>= size;
        mBits -= size;
        return code;
    }

private:
    ByteReader& mIn;
    uint32_t mBuffer = 0;
    int mBits = 0;
    int mBlockLeft = 0;
    bool mEnded = false;
};

// The most pixels the rest of a file can decode to. Each code takes two bits or more, and the
// n-th code after a clear stands for a string of at most n pixels (every table entry is one
// pixel longer than an earlier string), of at most 4096 pixels once the table is full.
int64_t MostPixelsIn(size_t bytes)
{
    const int64_t codes = int64_t(std::min<size_t>(bytes, size_t(1) << 40)) * 4;
    const int64_t kLongest = 4096;
    if (codes <= kLongest) return codes * (codes + 1) / 2;
    return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

} // namespace

std::unique_ptr<Image> LoadGIF(const std::string& path)
{
    std::string file;
    if (!ReadWholeFile(path, file)) return nullptr;
    if (file.size() < 13 || (file.compare(0, 5, "GIF87") != 0 && file.compare(0, 5, "GIF89") != 0))
        return nullptr;
    ByteReader in(file);
    in.Skip(6);
    in.Word(); // logical screen width and height: not used
    in.Word();
    int flags = in.Byte();
    in.Byte(); // background
    in.Byte(); // aspect

    uint32_t palette[256];
    auto readPalette = [&](int packed)
    {
        std::memset(palette, 0, sizeof palette);
        int entries = 1 << ((packed & 7) + 1);
        for (int i = 0; i < entries; ++i)
        {
            uint32_t r = uint32_t(in.Byte()), g = uint32_t(in.Byte()), b = uint32_t(in.Byte());
            palette[i] = 0xFF000000 | r << 16 | g << 8 | b;
        }
    };
    std::memset(palette, 0, sizeof palette);
    if (flags & 0x80) readPalette(flags);

    int transparent = -1;
    for (;;)
    {
        if (in.Failed() || in.AtEnd()) return nullptr;
        int block = in.Byte();
        if (block == ',') break;
        if (block == ';') return nullptr;
        if (block != '!') continue; // stray bytes between blocks are skipped
        int label = in.Byte();
        if (label == 0xF9)
        {
            int size = in.Byte();
            if (size >= 4)
            {
                int packed = in.Byte();
                in.Word(); // delay
                int index = in.Byte();
                if (packed & 1) transparent = index;
                in.Skip(size_t(size - 4));
            }
            else
                in.Skip(size_t(size));
            in.SkipSubBlocks();
        }
        else
            in.SkipSubBlocks();
    }

    in.Word(); // left and top: not used
    in.Word();
    int width = int16_t(in.Word());
    int height = int16_t(in.Word());
    int imageFlags = in.Byte();
    if (imageFlags & 0x80) readPalette(imageFlags);
    bool interlaced = (imageFlags & 0x40) != 0;
    int minCodeSize = in.Byte();
    if (in.Failed() || width <= 0 || height <= 0) return nullptr;
    if (minCodeSize < 1 || minCodeSize > 11) return nullptr; // codes must fit in 12 bits
    // An image its data cannot fill is refused before its memory is taken.
    if (int64_t(width) * int64_t(height) > MostPixelsIn(in.Remaining())) return nullptr;

    auto image = std::make_unique<Image>();
    if (!image->Allocate(width, height)) return nullptr; // unfilled rows stay transparent black
    for (int i = 0; i < 256; ++i)
        if (i == transparent) palette[i] = 0;

    // The rows in the order the data fills them.
    std::vector<int> rowOrder;
    rowOrder.reserve(size_t(height));
    if (interlaced)
    {
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = starts[pass]; y < height; y += steps[pass])
                rowOrder.push_back(y);
    }
    else
        for (int y = 0; y < height; ++y)
            rowOrder.push_back(y);

    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    const int kMaxCodes = 4096;
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint8_t> suffix(kMaxCodes), stack(kMaxCodes + 1);
    for (int i = 0; i < clearCode; ++i)
        suffix[size_t(i)] = uint8_t(i);

    int codeSize = minCodeSize + 1;
    int nextFree = clearCode + 2;
    int previous = -1;
    uint8_t firstChar = 0;
    size_t pixel = 0;
    const size_t total = size_t(width) * size_t(height);
    CodeReader codes(in);

    auto emit = [&](uint8_t index)
    {
        if (pixel >= total) return;
        size_t row = pixel / size_t(width), column = pixel % size_t(width);
        image->bits[size_t(rowOrder[row]) * size_t(width) + column] = palette[index];
        ++pixel;
    };

    while (pixel < total)
    {
        int code = codes.Next(codeSize);
        if (code < 0 || code == endCode) break;
        if (code == clearCode)
        {
            codeSize = minCodeSize + 1;
            nextFree = clearCode + 2;
            previous = -1;
            continue;
        }
        if (previous < 0)
        {
            // The first code after a clear must be a plain index.
            if (code >= clearCode) break;
            firstChar = uint8_t(code);
            emit(firstChar);
            previous = code;
            continue;
        }
        if (code > nextFree) break;
        int depth = 0;
        int walk = code;
        if (code == nextFree)
        {
            // KwKwK: the previous string followed by its own first character.
            stack[size_t(depth++)] = firstChar;
            walk = previous;
        }
        while (walk >= clearCode)
        {
            if (depth >= kMaxCodes) break;
            stack[size_t(depth++)] = suffix[size_t(walk)];
            walk = prefix[size_t(walk)];
        }
        if (depth >= kMaxCodes) break;
        firstChar = uint8_t(walk);
        stack[size_t(depth++)] = firstChar;
        while (depth > 0)
            emit(stack[size_t(--depth)]);

        // Once the table is full, encoders may go on without a clear code: no more entries are
        // made and the code size stays at 12 bits.
        if (nextFree < kMaxCodes)
        {
            prefix[size_t(nextFree)] = uint16_t(previous);
            suffix[size_t(nextFree)] = firstChar;
            ++nextFree;
            if (nextFree == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        previous = code;
    }
    return image;
}

} // namespace ImageLib

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Kavo
{

// The source column of each destination column of a nearest-pixel stretch, and the picking of
// a source row across them. Pick gives picked[i] = line[column i] exactly; where the columns
// double (each source column serving two destination columns in turn, as an enlargement by two
// does) it builds that part of the row from four source pixels at a time with SSE2.
class StretchColumns
{
public:
    // Column i is start + i x step truncated, cut to 0 .. sourceWidth - 1 (sourceWidth > 0).
    StretchColumns(double start, double step, int count, int sourceWidth);
    // The columns first to first + count - 1 of the stretch above: a part of a stretch cut by a
    // clip picks exactly the columns the whole stretch picks there.
    StretchColumns(double start, double step, int first, int count, int sourceWidth);

    int Count() const { return int(mColumns.size()); }
    int operator[](int i) const { return mColumns[size_t(i)]; }
    // Where the doubling starts (0 or 1): from there on, columns s + 2k and s + 2k + 1 are both
    // column s + k, the last perhaps alone; -1 when the columns do not double.
    int DoubledFrom() const { return mDoubledFrom; }

    // picked[i] = line[column i] for every column; line holds the source row.
    void Pick(const uint32_t* line, uint32_t* picked) const;

private:
    std::vector<int> mColumns;
    int mDoubledFrom = -1;
};

} // namespace Kavo

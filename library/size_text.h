// Byte counts for people, the one rule behind every size the interface shows.
#pragma once

#include <QString>

// How a byte count reads once it has grown past bytes.
struct SizeStyle {
    int largestUnit; // 1 KB, 2 MB, 3 GB, 4 TB: never divided further
    int decimals;
    bool trimZeros; // "1.50 KB" reads "1.5 KB", "10.00 KB" reads "10 KB"
};

// The library's rows: "1.0 KB", "1.5 MB", up to TB.
constexpr SizeStyle librarySizes{4, 1, false};
// The list of files to pack: "1 KB", "2.25 MB", up to GB.
constexpr SizeStyle packListSizes{3, 2, true};

// "1023 B" below 1024 bytes; above, the count divided by 1024 while it is 1024 or more and
// style allows a larger unit, then a space and the unit.
QString sizeText(qint64 bytes, const SizeStyle& style);

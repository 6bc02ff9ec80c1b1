// A visible note of the space left on the backup drive: the ".tmp" files in
// the base folder are deleted and an empty file named after the free space
// ("12.35GB.tmp") is left there.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

// The free and total bytes of a volume; both 0 when the query failed.
struct DriveSpace {
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};

// The space of the volume that holds the path (a file's folder is asked).
DriveSpace QueryDriveSpace(const WideString& path);

// Whether the answer can be trusted for a marker or a gauge: the query
// worked and the volume has at least 1000 bytes.
bool IsReadableSpace(const DriveSpace& space);

// The value in fixed notation with the precision (width 0 pads nothing).
//   (5.0, 0, 2) => "5.00"   (1.5, 0, 2) => "1.50"
WideString FormatDecimal(double value, int width, int precision);

// The marker's file name for a free-byte count, in gibibytes with two
// decimals:  5368709120 => "5.00GB.tmp"   5 TiB => "5120.00GB.tmp"
WideString FreeSpaceMarkerName(uint64_t freeBytes);

// Creates the file (and its folder) or truncates it to zero length.
bool CreateEmptyFile(const WideString& path);

// Deletes every "*.tmp" file and "tmp_file.txt" directly in the folder, then
// writes the marker there. When the drive's space cannot be read (or it is
// below 1000 bytes) no marker is written and "Can't read the free space of "
// and the folder go to the error stream. False when no marker was written.
bool WriteFreeSpaceMarker(const WideString& baseFolder);

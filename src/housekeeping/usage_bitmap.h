// A dated picture of how full the backup drive is: a 256 x 256 bitmap
// ("2026-12-06.dib") with the used share as a bar whose colour warns when
// little space is left.
#pragma once

#include <cstdint>

#include "housekeeping/dib_image.h"
#include "housekeeping/free_space_marker.h"
#include "text/wide_string.h"

// The used share in thousandths (0 to 1000). The space must be readable
// (see IsReadableSpace).
int32_t UsedPerMille(const DriveSpace& space);

// The bar's colour for whole free gibibytes: below 5 dark red 0x400000,
// below 10 red 0xC00000, below 15 yellow 0xE0E000, below 20 green 0x00E000,
// else teal 0x00C0C0.
uint32_t GaugeColour(uint64_t freeGibibytes);

// The gauge: light grey, the used thousandths as opaque full rows from the
// bottom in whole hundreds, the rest of them as a band of the next rows
// (colour without alpha), a mid grey border.
DibImage DrawUsageGauge(int32_t usedPerMille, uint32_t colour);

// The image as a bitmap file: 14-byte file header, 40-byte info header, the
// pixel words. False for an empty path, for an empty image (the file is
// then left empty), or when the file cannot be written completely. A file
// that cannot be opened is tried 100 times, 100 ms apart, the attempt
// number and a CR going to the error stream after each failure.
bool WriteDibFile(const DibImage& image, const WideString& path);

// Writes today's gauge of the folder's drive into the folder. When the
// drive's space cannot be read, nothing is written (and false returned).
bool WriteUsageBitmap(const WideString& baseFolder);

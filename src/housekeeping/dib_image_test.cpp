#include "housekeeping/dib_image.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "housekeeping/usage_bitmap.h"

namespace {

constexpr uint32_t kColour = 0x00E000;
constexpr uint32_t kGrey = 0xFFF0F0F0u;

// Where the gauge's colour lies: the last full row, the band's rows and its
// last column (-1 when there is no band).
TEST(UsageGauge, FullRowsAndTheBandFollowTheUsedShare) {
    const struct {
        int32_t used;
        int32_t lastFullRow;
        int32_t bandFirstRow;
        int32_t bandLastRow;
        int32_t bandLastColumn;
    } cases[] = {
        {0, 1, 2, 26, 1},
        {555, 129, 130, 154, 141},
        {999, 231, 232, 255, 254},
        {1000, 255, -1, -1, -1},
    };
    for (const auto& c : cases) {
        const DibImage gauge = DrawUsageGauge(c.used, kColour);
        ASSERT_EQ(gauge.Width(), 256);
        ASSERT_EQ(gauge.Height(), 256);
        // Inside the border (x and y 1..254).
        EXPECT_EQ(gauge.GetPixel(100, std::min(c.lastFullRow, 254)), kColour | 0xFF000000u) << c.used;
        if (c.lastFullRow < 255) {
            EXPECT_NE(gauge.GetPixel(100, c.lastFullRow + 1), kColour | 0xFF000000u);
        }
        if (c.bandFirstRow < 0) continue;
        for (const int32_t y : {c.bandFirstRow, std::min(c.bandLastRow, 254)}) {
            EXPECT_EQ(gauge.GetPixel(1, y), kColour) << c.used << " row " << y;
            EXPECT_EQ(gauge.GetPixel(c.bandLastColumn, y), kColour);
            if (c.bandLastColumn < 254) {
                EXPECT_EQ(gauge.GetPixel(c.bandLastColumn + 1, y), kGrey);
            }
        }
        if (c.bandLastRow < 254) {
            EXPECT_EQ(gauge.GetPixel(1, c.bandLastRow + 1), kGrey) << c.used;
        }
    }
    EXPECT_EQ(DrawUsageGauge(555, kColour).GetPixel(0, 100), 0xFF808080u);  // the border
}

TEST(UsageGauge, ColourWarnsWhenLittleIsFree) {
    const struct {
        uint64_t gibibytes;
        uint32_t colour;
    } cases[] = {{0, 0x400000}, {4, 0x400000}, {5, 0xC00000}, {14, 0xE0E000},
                 {19, 0x00E000}, {20, 0x00C0C0}, {5000, 0x00C0C0}};
    for (const auto& c : cases) EXPECT_EQ(GaugeColour(c.gibibytes), c.colour) << c.gibibytes;
    EXPECT_EQ(UsedPerMille({uint64_t{1} << 30, uint64_t{4} << 30}), 750);
    EXPECT_EQ(UsedPerMille({0, 1000}), 1000);
}

TEST(DibImage, BoundsOfPixelsAndSizes) {
    DibCanvas canvas;
    ASSERT_TRUE(canvas.Create(256, 256));
    EXPECT_FALSE(canvas.PutPixel(256, 0, 7));
    EXPECT_FALSE(canvas.PutPixel(-1, 5, 7));
    EXPECT_TRUE(canvas.SetPixel(300, 0, 7));  // x is not compared with the width
    EXPECT_EQ(canvas.GetPixel(44, 1), 7u);
    EXPECT_FALSE(canvas.SetPixel(0, 256, 7));
    EXPECT_EQ(canvas.GetPixel(-1, 0), 0u);

    DibImage image;
    EXPECT_FALSE(image.Create(30000, -5));
    EXPECT_EQ(image.Width(), 20000);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_TRUE(image.Reset());
    EXPECT_EQ(image.Width(), 0);
}

}  // namespace

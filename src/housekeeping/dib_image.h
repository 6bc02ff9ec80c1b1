// A small 32-bit bottom-up picture and a canvas to draw on it. A pixel word
// is 0xAARRGGBB, which is how it lies in a bitmap file; row 0 is the bottom
// row.
#pragma once

#include <cstdint>
#include <vector>

struct DibPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class DibImage {
public:
    DibImage() = default;
    virtual ~DibImage() = default;
    DibImage(const DibImage&) = default;
    DibImage& operator=(const DibImage&) = default;

    // Width and height clamped to 0..20000; every pixel 0. False when the
    // picture has no pixel (it then holds one word 0).
    virtual bool Create(int32_t width, int32_t height);
    virtual bool Reset();
    virtual bool IsEmpty() const { return PixelCount() == 0; }
    virtual int32_t Width() const { return HeaderField(4); }
    virtual int32_t Height() const { return HeaderField(8); }
    virtual int64_t PixelCount() const { return int64_t{Width()} * Height(); }
    // Whether some pixel has an alpha byte other than 0 and 0xFF, or some
    // pixels are opaque and others not.
    virtual bool HasTranslucency() const;
    virtual int64_t Index(int32_t x, int32_t y) const { return x + int64_t{y} * Width(); }
    // 0 outside the pixel array. x is not compared with the width.
    virtual uint32_t GetPixel(int32_t x, int32_t y) const;
    virtual bool SetPixel(int32_t x, int32_t y, uint32_t word);

    const std::vector<uint32_t>& Pixels() const { return pixels_; }

protected:
    std::vector<uint32_t>& MutablePixels() { return pixels_; }

private:
    int32_t HeaderField(size_t offset) const;

    // A BITMAPINFOHEADER and room for 256 palette entries.
    std::vector<uint8_t> header_;
    std::vector<uint32_t> pixels_;
};

class DibCanvas : public DibImage {
public:
    // Stores only inside the picture; whether it stored.
    virtual bool PutPixel(int32_t x, int32_t y, uint32_t word);
    virtual bool DrawLine(DibPoint from, DibPoint to, uint32_t word);
    virtual bool DrawPolyline(const std::vector<DibPoint>& points, uint32_t word);
    virtual bool Fill(uint32_t word);
};

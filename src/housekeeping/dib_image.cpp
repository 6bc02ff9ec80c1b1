#include "housekeeping/dib_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t kHeaderBytes = 1064;
constexpr int32_t kMaxSide = 20000;

void PutField(std::vector<uint8_t>& header, size_t offset, uint32_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) header[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

int32_t DibImage::HeaderField(size_t offset) const {
    if (header_.size() < offset + 4) return 0;
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= uint32_t{header_[offset + i]} << (8 * i);
    return static_cast<int32_t>(value);
}

bool DibImage::Create(int32_t width, int32_t height) {
    width = std::min(std::max(width, 0), kMaxSide);
    height = std::min(std::max(height, 0), kMaxSide);
    header_.assign(kHeaderBytes, 0);
    PutField(header_, 0, 40, 4);
    PutField(header_, 4, static_cast<uint32_t>(width), 4);
    PutField(header_, 8, static_cast<uint32_t>(height), 4);
    PutField(header_, 12, 1, 2);
    PutField(header_, 14, 32, 2);
    PutField(header_, 20, static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4, 4);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count == 0) {
        pixels_.assign(1, 0);
        return false;
    }
    pixels_.assign(count, 0);
    return true;
}

bool DibImage::Reset() {
    header_.clear();
    pixels_.clear();
    return true;
}

bool DibImage::HasTranslucency() const {
    const bool anyAlpha = std::any_of(pixels_.begin(), pixels_.end(),
                                      [](uint32_t w) { return w > 0x00FFFFFFu; });
    if (!anyAlpha) return false;
    return std::any_of(pixels_.begin(), pixels_.end(), [](uint32_t w) { return w < 0xFF000000u; });
}

uint32_t DibImage::GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0) return 0;
    const int64_t index = Index(x, y);
    if (index >= static_cast<int64_t>(pixels_.size())) return 0;
    return pixels_[static_cast<size_t>(index)];
}

bool DibImage::SetPixel(int32_t x, int32_t y, uint32_t word) {
    if (x < 0 || y < 0) return false;
    const int64_t index = Index(x, y);
    if (index >= static_cast<int64_t>(pixels_.size())) return false;
    pixels_[static_cast<size_t>(index)] = word;
    return true;
}

bool DibCanvas::PutPixel(int32_t x, int32_t y, uint32_t word) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
    return SetPixel(x, y, word);
}

bool DibCanvas::DrawLine(DibPoint from, DibPoint to, uint32_t word) {
    if (from.x == to.x && from.y == to.y) {
        PutPixel(from.x, from.y, word);
        return true;
    }
    PutPixel(from.x, from.y, word);
    PutPixel(to.x, to.y, word);
    const int32_t dx = to.x - from.x;
    const int32_t dy = to.y - from.y;
    const int32_t n = static_cast<int32_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 1);
    for (int32_t i = 0; i < n; ++i) {
        const double g = i * (1.0 / n);
        const int32_t x = static_cast<int32_t>(g * to.x + (1 - g) * from.x);
        const int32_t y = static_cast<int32_t>((1 - g) * from.y + g * to.y);
        PutPixel(x, y, word);
    }
    return true;
}

bool DibCanvas::DrawPolyline(const std::vector<DibPoint>& points, uint32_t word) {
    for (size_t i = 0; i + 1 < points.size(); ++i) DrawLine(points[i], points[i + 1], word);
    return true;
}

bool DibCanvas::Fill(uint32_t word) {
    std::fill(MutablePixels().begin(), MutablePixels().end(), word);
    return true;
}

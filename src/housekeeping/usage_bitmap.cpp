#include "housekeeping/usage_bitmap.h"

#include <io.h>

#include <cstdio>

#include "common/windows_headers.h"
#include "text/console_output.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/time_text.h"
#include "text/messages.h"
#include "text/system_error.h"

namespace {

constexpr int32_t kSide = 256;
constexpr uint32_t kBackground = 0xFFF0F0F0u;
constexpr uint32_t kBorder = 0xFF808080u;
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr int kOpenAttempts = 100;
constexpr DWORD kOpenRetryMilliseconds = 100;

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, size_t size) {
    for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> BitmapHeaders(int32_t width, int32_t height) {
    const uint32_t imageSize = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
    std::vector<uint8_t> bytes;
    PutLittleEndian(bytes, 0x4D42, 2);
    PutLittleEndian(bytes, 54 + imageSize, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 54, 4);
    PutLittleEndian(bytes, 40, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 32, 2);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, imageSize, 4);
    for (int i = 0; i < 4; ++i) PutLittleEndian(bytes, 0, 4);
    return bytes;
}

std::vector<uint8_t> PixelBytes(const DibImage& image) {
    std::vector<uint8_t> bytes;
    bytes.reserve(image.Pixels().size() * 4);
    for (const uint32_t word : image.Pixels()) PutLittleEndian(bytes, word, 4);
    return bytes;
}

FILE* OpenForWriting(const WideString& path) {
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        if (file != nullptr) return file;
        Sleep(kOpenRetryMilliseconds);
        PrintErrorText(IntegerToText(attempt, 10) + L"\r");
    }
    return nullptr;
}

}  // namespace

int32_t UsedPerMille(const DriveSpace& space) {
    const uint64_t freePerMille = space.freeBytes / (space.totalBytes / 1000);
    return static_cast<int32_t>(1000 - freePerMille);
}

uint32_t GaugeColour(uint64_t freeGibibytes) {
    if (freeGibibytes < 5) return 0x400000;
    if (freeGibibytes < 10) return 0xC00000;
    if (freeGibibytes < 15) return 0xE0E000;
    if (freeGibibytes < 20) return 0x00E000;
    return 0x00C0C0;
}

DibImage DrawUsageGauge(int32_t usedPerMille, uint32_t colour) {
    DibCanvas canvas;
    canvas.Create(kSide, kSide);
    canvas.Fill(kBackground);
    const int32_t hundreds = usedPerMille / 100 * 100;
    const int32_t rest = usedPerMille - hundreds;
    int32_t y = 0;
    for (; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) canvas.PutPixel(x, y, colour | kOpaque);
        if (y * 1000 > kSide * hundreds) break;
    }
    for (++y; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            canvas.PutPixel(x, y, colour);
            if (x * 100 > kSide * rest) break;
        }
        if (y * 1000 > kSide * (hundreds + 100)) break;
    }
    canvas.DrawPolyline({{0, 0}, {255, 0}, {255, 255}, {0, 255}, {0, 0}}, kBorder);
    return DibImage(canvas);
}

bool WriteDibFile(const DibImage& image, const WideString& path) {
    if (image.IsEmpty()) {
        if (FILE* file = _wfopen(path.c_str(), L"wb")) fclose(file);
        return false;
    }
    if (path.empty()) return false;
    const std::vector<uint8_t> headers = BitmapHeaders(image.Width(), image.Height());
    const std::vector<uint8_t> pixels = PixelBytes(image);
    FILE* file = OpenForWriting(path);
    if (file == nullptr) return false;
    const bool written = fwrite(headers.data(), 1, headers.size(), file) == headers.size() &&
                         fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size() &&
                         fflush(file) == 0 &&
                         FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
    const bool closed = fclose(file) == 0;
    if (written && closed) return true;
    PrintErrorLine(Say(Message::CantWriteFile, {path, SystemReason(GetLastError())}));
    return false;
}

bool WriteUsageBitmap(const WideString& baseFolder) {
    const DriveSpace space = QueryDriveSpace(baseFolder);
    if (!IsReadableSpace(space)) return false;
    const WideString path = AppendSeparator(baseFolder, L'\\') + FormatNow(L"%Y-%m-%d") + L".dib";
    const uint32_t colour = GaugeColour(space.freeBytes >> 30);
    return WriteDibFile(DrawUsageGauge(UsedPerMille(space), colour), path);
}

#include "housekeeping/free_space_marker.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cmath>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "housekeeping/file_lists.h"
#include "housekeeping/pending_file_ops.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/messages.h"
#include "text/number_text.h"

namespace {

constexpr uint64_t kSmallestReadableVolume = 1000;

}  // namespace

DriveSpace QueryDriveSpace(const WideString& path) {
    const FileStatus status(path);
    const WideString folder = !status.Failed() && status.IsDirectory() ? path : ParentPath(path);
    ULARGE_INTEGER available = {};
    ULARGE_INTEGER total = {};
    ULARGE_INTEGER free = {};
    DriveSpace space;
    if (GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) {
        space.freeBytes = free.QuadPart;
        space.totalBytes = total.QuadPart;
    }
    return space;
}

bool IsReadableSpace(const DriveSpace& space) { return space.totalBytes >= kSmallestReadableVolume; }

WideString FormatDecimal(double value, int width, int precision) {
    // Always a point, whatever the locale's decimal sign.
    const bool negative = value < 0;
    double scale = 1;
    for (int i = 0; i < precision; ++i) scale *= 10;
    const uint64_t scaled = static_cast<uint64_t>(std::llround(std::fabs(value) * scale));
    const uint64_t unit = static_cast<uint64_t>(scale);
    WideString text = IntegerToText(scaled / unit, 10);
    if (precision > 0) {
        const WideString fraction = IntegerToText(scaled % unit, 10);
        text += L"." + WideString(static_cast<size_t>(precision) - fraction.size(), L'0') + fraction;
    }
    if (negative && scaled != 0) text = L"-" + text;
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), L' ');
    return text;
}

WideString FreeSpaceMarkerName(uint64_t freeBytes) {
    const double gibibytes = static_cast<double>(freeBytes / 1024) * 9.5367431640625e-07;
    return FormatDecimal(gibibytes, 0, 2) + L"GB.tmp";
}

bool CreateEmptyFile(const WideString& path) {
    const WideString normalized = NormalizeSeparators(path, L'\\');
    const WideString folder = ParentPath(normalized);
    if (!DirectoryExists(folder) && !CreateDirectoryTree(folder)) return false;
    const int file = _wopen(normalized.c_str(), _O_CREAT | _O_TRUNC | _O_RDWR, _S_IREAD | _S_IWRITE);
    if (file < 0) return false;
    _close(file);
    return true;
}

bool WriteFreeSpaceMarker(const WideString& baseFolder) {
    const WideString root = NormalizeSeparators(AppendSeparator(baseFolder, L'\\') + L"./", L'\\');
    {
        PendingFileOps deletions;
        deletions.AddAll(ListMatchingFiles(root, L"*.tmp"));
        deletions.Add(root + L"\\tmp_file.txt");
    }
    const DriveSpace space = QueryDriveSpace(root);
    if (!IsReadableSpace(space)) {
        PrintErrorLine(Say(Message::CantReadFreeSpaceOf, {baseFolder}));
        return false;
    }
    return CreateEmptyFile(root + L"\\" + FreeSpaceMarkerName(space.freeBytes));
}

#include "housekeeping/free_space_marker.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <iostream>
#include <sstream>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "housekeeping/file_lists.h"
#include "housekeeping/pending_file_ops.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/messages.h"

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
    std::wostringstream stream;
    stream.width(width);
    stream.precision(precision);
    stream.setf(std::ios::fixed, std::ios::floatfield);
    stream << value;
    return stream.str();
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
        std::wcerr << Say(Message::CantReadFreeSpaceOf, {baseFolder}) << std::endl;
        return false;
    }
    return CreateEmptyFile(root + L"\\" + FreeSpaceMarkerName(space.freeBytes));
}

#include "housekeeping/file_attributes.h"

#include "common/windows_headers.h"
#include "text/path_text.h"

FileAttributes::FileAttributes(const WideString& path) {
    const WideString normalised = StripTrailingSeparator(NormalizeSeparators(path, L'\\'));
    const DWORD attributes = GetFileAttributesW(normalised.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    attributes_ = attributes;
    path_ = normalised;
}

bool FileAttributes::Clear(uint32_t mask) const {
    return SetFileAttributesW(path_.c_str(), attributes_ & ~mask) != 0;
}

bool FileAttributes::Set(uint32_t mask) const {
    return SetFileAttributesW(path_.c_str(), attributes_ | mask) != 0;
}

// A file's attribute word, read once, with changes written through.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

class FileAttributes {
public:
    // Reads the attributes of the path (separators normalised to '\', a
    // trailing one removed).
    explicit FileAttributes(const WideString& path);

    bool Failed() const { return attributes_ == kInvalid; }
    uint32_t Attributes() const { return attributes_; }
    WideString Path() const { return path_; }
    uint32_t Has(uint32_t mask) const { return attributes_ & mask; }
    // Write the word with the mask cleared or set; the stored word stays as read.
    bool Clear(uint32_t mask) const;
    bool Set(uint32_t mask) const;
    bool ClearIfSet(uint32_t mask) const { return Has(mask) ? Clear(mask) : true; }
    // Clears read-only, hidden and system.
    bool MakeWritable() const { return ClearIfSet(kReadOnlyHiddenSystem); }

private:
    static constexpr uint32_t kInvalid = 0xFFFFFFFF;
    static constexpr uint32_t kReadOnlyHiddenSystem = 7;

    WideString path_;
    uint32_t attributes_ = kInvalid;
};

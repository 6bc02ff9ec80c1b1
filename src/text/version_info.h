// Reads string values of a module file's version resource.
//
// Failures are written as one line to the standard wide error stream and
// give an empty answer. An object is "loaded" once its prefix
// ("\StringFileInfo\<language><code page>\" of the first translation) is
// set; every query on an object that is not loaded tries Load again.
#pragma once

#include <cstdint>
#include <vector>

#include "text/wide_string.h"

class VersionInfo {
public:
    VersionInfo() = default;
    virtual ~VersionInfo() = default;

    // Stores the path; false when it is empty or does not exist, otherwise
    // the result of Load.
    virtual bool SetPath(const WideString& path);
    virtual bool SetPath(const wchar_t* path);
    // The named value of the loaded resource, or empty.
    virtual WideString QueryString(const wchar_t* name);
    // Reads the resource block and its first translation.
    virtual bool Load();

    WideString Comments() { return QueryString(L"Comments"); }
    WideString CompanyName() { return QueryString(L"CompanyName"); }
    WideString FileDescription() { return QueryString(L"FileDescription"); }
    WideString FileVersion() { return QueryString(L"FileVersion"); }
    WideString InternalName() { return QueryString(L"InternalName"); }
    WideString LegalCopyright() { return QueryString(L"LegalCopyright"); }
    WideString LegalTrademarks() { return QueryString(L"LegalTrademarks"); }
    WideString OriginalFilename() { return QueryString(L"OriginalFilename"); }
    WideString PrivateBuild() { return QueryString(L"PrivateBuild"); }
    WideString ProductName() { return QueryString(L"ProductName"); }
    WideString ProductVersion() { return QueryString(L"ProductVersion"); }
    WideString SpecialBuild() { return QueryString(L"SpecialBuild"); }

    // "\StringFileInfo\040904b0\" once loaded, else empty.
    const WideString& Prefix() const { return prefix_; }

private:
    WideString path_;
    uint32_t handle_ = 0;
    uint32_t size_ = 0;
    std::vector<uint8_t> data_;
    WideString prefix_;
};

// "\StringFileInfo\" + language and code page as four lower-case hex digits
// each + "\".   (0x0409, 0x04B0) => "\StringFileInfo\040904b0\"
WideString StringFileInfoPrefix(uint16_t language, uint16_t codePage);

// The "FileVersion" / "OriginalFilename" value of a module, or empty.
WideString FileVersionOf(const WideString& path);
WideString OriginalFilenameOf(const WideString& path);

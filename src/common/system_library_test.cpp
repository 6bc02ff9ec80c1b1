#include "common/system_library.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Call {
    std::wstring library;
    DWORD flags;
};

// A loader that answers each call from the list (null with that error, or
// a module), recording what it was asked.
LibraryLoader Answering(std::vector<DWORD> errors, std::vector<Call>* calls) {
    return [errors, calls](const std::wstring& library, DWORD flags, DWORD* error) -> HMODULE {
        const size_t index = calls->size();
        calls->push_back({library, flags});
        *error = index < errors.size() ? errors[index] : ERROR_SUCCESS;
        return *error == ERROR_SUCCESS ? reinterpret_cast<HMODULE>(0x1000) : nullptr;
    };
}

TEST(SystemLibrary, AWindowsWithoutTheSafeLoadingFlagLoadsByFullPathInTheSystemFolder) {
    const struct {
        std::vector<DWORD> errors;
        const wchar_t* systemFolder;
        size_t calls;
        bool loaded;
    } cases[] = {
        {{ERROR_SUCCESS}, L"C:\\Windows\\system32", 1, true},
        {{ERROR_INVALID_PARAMETER}, L"C:\\Windows\\system32", 2, true},       // flag unknown: the full path
        {{ERROR_INVALID_PARAMETER, ERROR_MOD_NOT_FOUND}, L"C:\\W\\s", 2, false},
        {{ERROR_MOD_NOT_FOUND}, L"C:\\Windows\\system32", 1, false},          // not there: never a bare name
        {{ERROR_INVALID_PARAMETER}, L"", 1, false},                           // no system folder known
    };
    for (const auto& c : cases) {
        std::vector<Call> calls;
        const HMODULE module = LoadFromSystemFolder(L"version.dll", c.systemFolder, Answering(c.errors, &calls));
        EXPECT_EQ(module != nullptr, c.loaded) << c.errors.size();
        ASSERT_EQ(calls.size(), c.calls) << c.errors.size();
        EXPECT_EQ(calls[0].library, L"version.dll");
        EXPECT_EQ(calls[0].flags, 0x00000800u);  // LOAD_LIBRARY_SEARCH_SYSTEM32
        if (calls.size() < 2) continue;
        EXPECT_EQ(calls[1].library, std::wstring(c.systemFolder) + L"\\version.dll");
        EXPECT_EQ(calls[1].flags, static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH));
    }
}

}  // namespace

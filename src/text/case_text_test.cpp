#include "text/case_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// Installs a locale for the test's lifetime and puts the old one back.
class LocaleGuard {
public:
    explicit LocaleGuard(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, name);
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST(CaseText, WithoutLocaleOnlyAsciiLettersAreLowered) {
    LocaleGuard classic("C");
    EXPECT_EQ(ToLowerText(L"ABC xyz \u00C4\u0416"), L"abc xyz \u00C4\u0416");
}

TEST(CaseText, WithTheUserLocaleOtherLettersAreLoweredToo) {
    LocaleGuard user("");
    EXPECT_EQ(ToLowerText(L"ABC \u00C4\u0416"), L"abc \u00E4\u0436");
}

TEST(CaseText, KeysFoldAsciiThemselvesAndTheRestByTheLocale) {
    LocaleGuard user("");
    const struct {
        const wchar_t* text;
        const wchar_t* key;
    } cases[] = {
        {L"C\\KORV\\Read Me.TXT", L"c\\korv\\read me.txt"},
        {L"[Z]@^_`{", L"[z]@^_`{"},  // only A to Z move among the ASCII signs
        {L"Data\\\u00C4rger", L"data\\\u00E4rger"},
        // Kana and ideographs have no case; a cased letter among them still
        // goes to the locale, the fullwidth Latin ones included.
        {L"\u30AB\u30EB\u30C6\\\u60A3\u8005 A.TXT", L"\u30AB\u30EB\u30C6\\\u60A3\u8005 a.txt"},
        {L"\u65E5\u672C\u00C4", L"\u65E5\u672C\u00E4"},
        {L"\u8A3A\u7642\uFF21\uFF3A\uFF10", L"\u8A3A\u7642\uFF41\uFF5A\uFF10"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldedKey(c.text), c.key) << c.text;
}

TEST(CaseText, LoweringCutsAtTheFirstNul) {
    LocaleGuard classic("C");
    EXPECT_EQ(ToLowerText(WideString(L"AB\0CD", 5)), L"ab");
}

TEST(CaseText, FindNoCaseTriesExactThenLowered) {
    EXPECT_EQ(FindNoCase(L"c:\\tools\\a.exe", L"C:\\", 0), 0u);
    EXPECT_EQ(FindNoCase(L"D:\\x", L"C:\\", 0), kNoPosition);
    EXPECT_EQ(FindNoCase(L"\\\\srv\\_BACKUP_\\", L"_Backup_", 0), 6u);
    EXPECT_EQ(FindNoCase(L"D:\\x\\C:\\", L"C:\\", 0), 5u);
    EXPECT_EQ(FindNoCase(L"abcABC", L"abc", 1), 3u);
    EXPECT_EQ(FindNoCase(L"abc", L"", 0), 0u);
    EXPECT_EQ(FindNoCase(L"", L"a", 0), kNoPosition);
    EXPECT_EQ(FindNoCase(L"ab", L"b", 5), kNoPosition);
}

}  // namespace

#include "text/messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

TEST(Messages, InsertsAreFilledByNumberOnce) {
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"%2 of %1", L"b of a"},
        {L"%1%1", L"aa"},
        {L"%3 is missing", L" is missing"},
        {L"100% done, %0 and %", L"100% done, %0 and %"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(FillInserts(c.text, {L"a", L"b"}), c.expected) << c.text;
    // A path that looks like an insert stays as it is.
    EXPECT_EQ(FillInserts(L"Not backed up: %1 (%2)", {L"C:\\%2", L"x"}), L"Not backed up: C:\\%2 (x)");
}

TEST(Messages, OnlyTheJapaneseInterfaceGetsJapanese) {
    EXPECT_EQ(LanguageForInterface(0x0411), Language::Japanese);
    const LANGID others[] = {0x0409, 0x0809, 0x0804, 0x0011, 0x0000};
    for (const LANGID other : others) {
        EXPECT_EQ(LanguageForInterface(other), Language::English) << other;
    }
}

std::set<wchar_t> InsertNumbers(const WideString& text) {
    std::set<wchar_t> numbers;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'%' && text[i + 1] >= L'1' && text[i + 1] <= L'9') numbers.insert(text[++i]);
    }
    return numbers;
}

bool HasJapanese(const WideString& text) {
    for (const wchar_t c : text) {
        if (c >= 0x3000) return true;
    }
    return false;
}

TEST(Messages, EveryMessageHasBothLanguagesWithTheSameInserts) {
    ASSERT_GT(kMessageCount, 100u);
    std::set<unsigned> numbers;
    for (size_t i = 0; i < kMessageCount; ++i) {
        const Message message = kAllMessages[i];
        const unsigned number = static_cast<unsigned>(message);
        EXPECT_TRUE(numbers.insert(number).second) << "number used twice: " << number;
        const WideString english = MessageTemplate(message, Language::English);
        const WideString japanese = MessageTemplate(message, Language::Japanese);
        EXPECT_FALSE(english.empty()) << "no English text for " << number;
        EXPECT_FALSE(HasJapanese(english)) << number;
        EXPECT_TRUE(HasJapanese(japanese)) << "no Japanese text for " << number;
        EXPECT_EQ(InsertNumbers(english), InsertNumbers(japanese)) << "inserts differ in " << number;
    }
}

TEST(Messages, SaysTheChosenLanguageAndNeverLosesALine) {
    EXPECT_EQ(Say(Message::NotBackedUp, {L"C:\\x", L"y"}), L"Not backed up: C:\\x (y)");
    SetMessageLanguage(Language::Japanese);
    const WideString japanese = Say(Message::NotBackedUp, {L"C:\\x", L"y"});
    const WideString unknown = Say(static_cast<Message>(4000), {L"C:\\x"});
    SetMessageLanguage(Language::English);
    EXPECT_EQ(japanese, L"\u30D0\u30C3\u30AF\u30A2\u30C3\u30D7\u3057\u3066\u3044\u307E\u305B\u3093: C:\\x (y)");
    EXPECT_EQ(unknown, L"#4000 C:\\x");
    EXPECT_EQ(SayCount(1, Message::FileOne, Message::FileMany), L"1 file");
    EXPECT_EQ(SayCount(1234, Message::FileOne, Message::FileMany), L"1,234 files");
}

// The string literals of a C++ source, comments left out.
std::vector<std::string> StringLiterals(const std::string& text) {
    std::vector<std::string> literals;
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i);
            if (i != std::string::npos) i += 2;
        } else if (text[i] == '"' || text[i] == '\'') {
            const char quote = text[i];
            size_t end = i + 1;
            while (end < text.size() && text[end] != quote) end += text[end] == '\\' ? 2 : 1;
            if (quote == '"') literals.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            ++i;
        }
    }
    return literals;
}

// The literal with its escapes read, and a blank for each TAB or line break.
std::string WithBlanksForBreaks(const std::string& literal) {
    std::string text;
    for (size_t i = 0; i < literal.size(); ++i) {
        const bool escape = literal[i] == '\\' && i + 1 < literal.size();
        const char c = escape ? literal[++i] : literal[i];
        text += escape && (c == 'r' || c == 'n' || c == 't') ? ' ' : c;
    }
    return text;
}

std::filesystem::path CopiedSources() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    return std::filesystem::path(program).parent_path().parent_path() / L"scanned-src";
}

// A line of the copy script or a robocopy option: the same in every language.
bool IsScriptText(const std::string& text) {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return false;
    const std::string line = text.substr(start);
    for (const char* command : {"@", "/", "echo", "timeout ", "cd /d "}) {
        if (line.compare(0, std::char_traits<char>::length(command), command) == 0) return true;
    }
    return false;
}

// A sentence written in code: words beside a blank. These literals are not
// said to anyone: they are file contents on the stick, folder names, command
// lines and units that stay the same in every language.
TEST(Messages, NoSentenceIsWrittenInCode) {
    const std::set<std::string> notSaid = {
        "brisk   Ver.",                   // the banner
        "not made",                       // the history file on the stick
        "run ",                           // the checksum runs list on the stick
        "record ",
        " *.bak  *.tmp  Thumbs.db ",      // names the copy leaves out
        " bak  .vs  _Backup_  _Search_ ",
        " mfc*.tmp  Thumbs.db ",
        "\\\" /d /v:off /c \\\"\\\"",     // the interpreter's command line
        "C:\\\\Program Files\\\\",
        "C:\\\\Program Files (x86)\\\\",
        "\\nOperation=", "\\nFile=", "\\nParamaters=",
        " GB", " MB",
        " (before restore ",              // the name a file takes beside a restored one
        "brisk run record 1",             // the first line of a run's record on the stick
    };
    const std::regex words("[A-Za-z]{2} | [A-Za-z]{2}");
    const std::filesystem::path root = CopiedSources();
    ASSERT_TRUE(std::filesystem::is_directory(root)) << root.string();
    size_t scanned = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h") continue;
        if (name.size() > 9 && name.compare(name.size() - 9, 9, "_test.cpp") == 0) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++scanned;
        for (const std::string& literal : StringLiterals(text)) {
            const std::string text = WithBlanksForBreaks(literal);
            if (notSaid.count(literal) != 0 || IsScriptText(text)) continue;
            EXPECT_FALSE(std::regex_search(text, words)) << name << ": \"" << literal << "\"";
        }
    }
    EXPECT_GT(scanned, 50u);
}

}  // namespace

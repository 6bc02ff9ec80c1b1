#include "text/messages.h"

#include "text/number_text.h"

namespace {

Language chosenLanguage = Language::English;

LANGID LanguageId(Language language) {
    return language == Language::Japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                                          : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

}  // namespace

const Message kAllMessages[] = {
#define BRISK_MESSAGE(name, id, english, japanese) Message::name,
#include "text/message_table.inc"
#undef BRISK_MESSAGE
};
const size_t kMessageCount = sizeof(kAllMessages) / sizeof(kAllMessages[0]);

Language LanguageForInterface(LANGID interfaceLanguage) {
    return interfaceLanguage == 0x0411 ? Language::Japanese : Language::English;
}

void SetMessageLanguage(Language language) { chosenLanguage = language; }

Language MessageLanguage() { return chosenLanguage; }

WideString MessageTemplate(Message message, Language language) {
    // A string table is kept in blocks of 16: block n + 1 holds the strings
    // 16n .. 16n + 15, each a length followed by that many UTF-16 units.
    const unsigned id = static_cast<unsigned>(message);
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), LanguageId(language));
    if (found == nullptr) return WideString();
    const HGLOBAL loaded = LoadResource(module, found);
    const auto* block = static_cast<const wchar_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (block == nullptr) return WideString();
    const wchar_t* end = block + SizeofResource(module, found) / sizeof(wchar_t);
    for (unsigned index = 0; index < 16 && block < end; ++index) {
        const size_t length = static_cast<uint16_t>(*block++);
        if (length > static_cast<size_t>(end - block)) return WideString();
        if (index == id % 16) return WideString(block, length);
        block += length;
    }
    return WideString();
}

WideString FillInserts(const WideString& text, std::initializer_list<WideString> inserts) {
    WideString result;
    result.reserve(text.size() + 64);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        if (text[i] != L'%' || next < L'1' || next > L'9') {
            result += text[i];
            continue;
        }
        const size_t number = static_cast<size_t>(next - L'1');
        if (number < inserts.size()) result += *(inserts.begin() + number);
        ++i;
    }
    return result;
}

WideString Say(Message message, std::initializer_list<WideString> inserts) {
    WideString text = MessageTemplate(message, chosenLanguage);
    if (text.empty() && chosenLanguage != Language::English) text = MessageTemplate(message, Language::English);
    if (text.empty()) {
        text = L"#" + IntegerToText(static_cast<unsigned>(message), 10);
        for (size_t i = 0; i < inserts.size() && i < 9; ++i) text += L" %" + IntegerToText(i + 1, 10);
    }
    return FillInserts(text, inserts);
}

WideString SayCount(uint64_t count, Message one, Message many) {
    return Say(count == 1 ? one : many, {GroupedText(count)});
}

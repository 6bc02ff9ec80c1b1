// The sentences the program says, from the string tables in its resources:
// one table in English and one in Japanese, chosen once at start from the
// user's interface language. A sentence's inserts (paths, sizes, counts,
// system reasons) are numbered, %1 to %9, so each language places them
// where it reads naturally.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "common/windows_headers.h"
#include "text/wide_string.h"

enum class Message : unsigned {
#define BRISK_MESSAGE(name, id, english, japanese) name = id,
#include "text/message_table.inc"
#undef BRISK_MESSAGE
};

enum class Language { English, Japanese };

// Every message, in the table's order.
extern const Message kAllMessages[];
extern const size_t kMessageCount;

// Japanese for the Japanese interface (0x0411), English for every other.
Language LanguageForInterface(LANGID interfaceLanguage);

// The language of every later Say; English until set.
void SetMessageLanguage(Language language);
Language MessageLanguage();

// The message's text in the language, as it stands in the table (inserts
// unfilled); empty when the program's resources lack it.
WideString MessageTemplate(Message message, Language language);

// The template with each %1..%9 replaced by that insert (empty when there is
// no such insert); an insert's own text is never expanded again, and a '%'
// not followed by 1..9 stays as it is.
//   ("Kept %2 of %1", {"a", "b"}) => "Kept b of a"
WideString FillInserts(const WideString& text, std::initializer_list<WideString> inserts);

// The message in the chosen language with its inserts filled. A message the
// chosen table lacks is taken from the English one, and failing that is
// named by its number, so no line is ever lost.
WideString Say(Message message, std::initializer_list<WideString> inserts = {});

// The count and the message for one or for many ("1 file", "2 files"):
// the count, grouped, is insert %1.
WideString SayCount(uint64_t count, Message one, Message many);

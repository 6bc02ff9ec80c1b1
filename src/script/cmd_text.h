// Text for cmd.exe batch files. A batch line is expanded before it runs:
// "%" starts a variable even inside quotes, and outside quotes & | < > ^ ( )
// are operators. These helpers write a path so that cmd.exe reads back
// exactly that path; a path without such characters stays as it is.
#pragma once

#include "text/wide_string.h"

// Every "%" doubled: for text inside quotes or on rem lines.
//   "C:\50% off" => "C:\50%% off"
WideString DoublePercents(const WideString& text);

// For the unquoted text of an echo line: "%" doubled and each of ^ & | < > ( )
// preceded by "^".   "C:\Tom & Jerry (1)" => "C:\Tom ^& Jerry ^(1^)"
WideString EscapeForEcho(const WideString& text);

// Whether the code page carries the text exactly (no replacement, no
// look-alike; for UTF-8, no unpaired surrogate).
//   ("C:\Users\Müller", 850) => true   ("C:\Users\Müller", 932) => false
//   ("C:\データ", 437) => false         ("C:\データ", 65001) => true
bool FitsCodePage(const WideString& text, unsigned codePage);
bool FitsCodePage932(const WideString& text);

// The code page the command interpreter reads scripts in: the console's
// output code page, or the OEM one when there is no console.
unsigned ScriptCodePage();

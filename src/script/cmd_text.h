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

// Whether code page 932 carries the text exactly (no replacement, no
// look-alike).
bool FitsCodePage932(const WideString& text);

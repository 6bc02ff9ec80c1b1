// The system's own words for an error code.
#pragma once

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The system's message for an error code (with its own line end), or empty.
WideString SystemErrorText(DWORD errorCode);

// The message as a reason inside a line: without the line end, trailing
// blanks or the final period; the error number when the system has no text.
//   ERROR_ACCESS_DENIED => "Access is denied"   0x7FFFFFFF => "error 2147483647"
WideString SystemReason(DWORD errorCode);

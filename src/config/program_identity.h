// The running program's own path and name.
#pragma once

#include "text/wide_string.h"

// The full path of the running program file, as the system knows it.
WideString ModuleFilePath();

// The full path of the running program file. When it differs from the path
// the process was started with (argument 0), both are written to the error
// stream, the module path first.
WideString ProgramPath();

// The program's file name as its version resource records it
// ("OriginalFilename"), else the file name of the path.
WideString ProgramNameFor(const WideString& programPath);

// ProgramNameFor(ProgramPath()), computed once per process.
WideString ProgramName();

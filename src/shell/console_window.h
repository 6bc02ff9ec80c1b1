// Finding the program's own console window by a unique temporary title.
#pragma once

#include <cstdint>

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The temporary title: tick count "/" process id, both in decimal.
//   (51234906, 4412) => "51234906/4412"
WideString ConsoleTitleProbe(uint32_t tickCount, uint32_t processId);

// Sets the console title to a probe title, waits 40 ms, looks up the
// top-level window with that title and restores the saved title. Returns
// the window, or null when none was found.
HWND FindOwnConsoleWindow();

// Showing a place to the user: Explorer on a folder, Explorer with a file
// selected, or a program file started, after the path has been resolved to
// something that exists.
#pragma once

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The target a text stands for: quotes stripped, '\' separators, a shortcut
// (".lnk", any letter case) replaced by what it points to (empty when it
// cannot be resolved), the search folder marker mapped, a mapped network
// drive replaced by its share; '\' appended unless it is a regular file.
WideString ResolveOpenTarget(const WideString& text);

// The path a shortcut file points to (long form), or empty when the file is
// missing or the shell's link object cannot load or resolve it. COM is
// initialised (once, never released) when the first attempt fails.
WideString ResolveShortcutTarget(HWND owner, const WideString& shortcut);

// Resolves the target, walks up to what exists, and asks the shell to show
// it (not waiting). True when the shell accepted; otherwise a message box
// titled "error" says why, and the result is false.
bool OpenInShell(HWND owner, const WideString& target);

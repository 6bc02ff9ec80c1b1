// What to ask of the shell to show a place to the user: the decisions of
// opening a path, as functions of the system's answers (existence, whether
// a path is a file, the shell's result and the error texts).
#pragma once

#include <cstdint>
#include <functional>

#include "text/wide_string.h"

using ExistsQuery = std::function<bool(const WideString&)>;

// A path below the local search folder marker "/Temp/_Search_/__/" (any
// letter case) stands for the network path after it, used when that exists;
// otherwise the path comes back unchanged.
//   "D:/Users/u/Temp/_Search_/__/srv/share/doc" => "\\srv\share\doc" (when it exists)
WideString MapSearchFolderPath(const WideString& path, const ExistsQuery& exists);

// The target, or its nearest existing ancestor within 11 parent steps;
// when none exists, the upper-cased drive or server part of the target with
// "/" appended ("x:\a\b" => "X:/"; "/" alone for a relative path).
//   "X:\a\b\d\" with only X:\a existing => "X:\a"
WideString ExistingTarget(const WideString& target, const ExistsQuery& exists);

// Explorer by its full path in the Windows folder, never by a bare name
// (which the shell looks for in the current folder first: on a stick, that
// is anyone's program). Empty when the Windows folder is unknown.
//   "C:\Windows" => "C:\Windows\explorer.exe"   "" => ""
WideString ExplorerIn(const WideString& windowsFolder);

// The shell request that shows a target: a program file (extension "exe",
// any letter case) is started itself; a file opens Explorer with the file
// selected; anything else opens Explorer on it.
struct OpenRequest {
    WideString file;
    WideString parameters;
};
//   ("D:\data\report.txt", file, "C:\Windows")  => {"C:\Windows\explorer.exe", "/e,/select,D:\data\report.txt"}
//   ("D:\data\", folder, "C:\Windows")          => {"C:\Windows\explorer.exe", "D:\data\"}
//   ("D:\tools\x.EXE", any, any)               => {"D:\tools\x.EXE", ""}
OpenRequest ChooseOpenRequest(const WideString& target, bool isFile, const WideString& windowsFolder);

// The message box text for a refused request:
//   "0x<result>\r\n0x<error>    <system text>\r\n\r\n<file>\r\n<parameters>"
// in lower-case hexadecimal without leading zeros.
WideString OpenFailureText(intptr_t shellResult, uint32_t errorCode, const WideString& systemText,
                           const OpenRequest& request);

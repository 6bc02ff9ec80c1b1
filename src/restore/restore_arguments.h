// The switches of a restore, a list of points and a check of the stick:
//   brisk.exe /restore [/from:PC01] [/at:2026-12-07[_183000]] [/to:D:\x | /to:original]
//                      [/only:C:\KORV\Data] [/replace] [/list] [/on:E:]
//   brisk.exe /restore /dates [/from:PC01] [/on:E:]
//   brisk.exe /check [/from:PC01] [/on:E:]
// Switches are matched without regard to case. Nothing here touches the disk.
#pragma once

#include "text/wide_string.h"

enum class StickTask {
    None,     // the arguments ask for a backup
    Restore,
    Dates,
    Check,
};

struct StickArguments {
    StickTask task = StickTask::None;
    WideString from;        // the computer's name; empty for this computer
    WideString at;          // as given; empty for the latest point
    WideString to;          // a folder; empty for a new folder on the desktop
    bool toOriginal = false;
    WideString only;        // as given
    bool replace = false;
    bool list = false;
    WideString on;          // "E:"; empty for the program's own drive
    // The first switch that is not understood, or that this task does not
    // take, or that lacks its value; empty when all are.
    WideString unknown;
};

// The task of the arguments after the program's path (element 0 left out).
// A first argument that starts with "/" is a switch, never a folder: an
// unknown one is named in unknown.
//   {"/restore", "/at:2026-12-07"} => Restore, at "2026-12-07"
//   {"/check", "/list"} => Check, unknown "/list"
//   {"/backup"} => None, unknown "/backup"   {"D:\data"} => None
StickArguments ReadStickArguments(const StringList& arguments);

// "E:", "e:", "E:\" => "E:"; anything else => empty.
WideString DriveOfSwitch(const WideString& value);

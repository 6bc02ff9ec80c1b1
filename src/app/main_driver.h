// The main driver: decides between relocating the program and a backup run,
// and runs the stages of a backup run in order.
#pragma once

#include "text/wide_string.h"

enum class RunKind {
    // Back up; print the echo line first when there is one.
    Backup,
    // Started from drive C: without arguments: copy the program to another
    // drive and show it there. Without such a drive, back up (no echo line).
    Relocate,
};

struct MainDecision {
    RunKind kind = RunKind::Backup;
    bool hasEchoLine = false;
    WideString echoLine;
};

// The decision for a process argument list (element 0 the program path).
//   {"D:\tools\brisk.exe"}            => Backup, echo "D:\tools\brisk.exe"
//   {"c:\Tools\brisk.exe"}            => Relocate
//   {"C:\brisk.exe", "F:\data", "x"}  => Backup, echo "F:\data"
MainDecision DecideMainRun(const StringList& arguments);

// Runs once per process after the banner; always returns true.
bool RunMain();

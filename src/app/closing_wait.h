// How a backup run leaves its window. Started from Explorer, the program is
// the only process of its console, whose window closes when it ends: an
// incomplete run then waits for a key, so that the verdict stays in front
// of the user; a complete one keeps a short pause. In a console it shares
// (cmd, a script, a scheduled task) nothing closes, and it never waits.
#pragma once

enum class ClosingWait {
    None,        // end at once
    ShortPause,  // "Waiting for 5 seconds ..."
    KeyPress,    // "Press any key to close this window." and a key
};

// The wait for the number of processes attached to the console (0 when
// there is none) and the run's exit status.
//   (1, 0) => ShortPause   (1, 1) => KeyPress   (1, 2) => KeyPress
//   (2, 1) => None         (0, 2) => None
ClosingWait ClosingWaitFor(unsigned long consoleProcesses, int exitStatus);

// The number of processes attached to this process's console; 0 without one.
unsigned long ConsoleProcessCount();

// Waits as chosen, saying so first.
void WaitBeforeClosing(ClosingWait wait);

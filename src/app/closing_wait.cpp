#include "app/closing_wait.h"

#include "common/windows_headers.h"
#include "housekeeping/folder_stamps.h"
#include "text/console_output.h"
#include "text/messages.h"

namespace {

constexpr int kShortPauseSeconds = 5;

// Waits until a key is pressed on the console's input; returns at once when
// the input is not a console.
void WaitForKey() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || input == nullptr || !GetConsoleMode(input, &mode)) return;
    FlushConsoleInputBuffer(input);
    for (;;) {
        INPUT_RECORD record = {};
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    }
}

}  // namespace

ClosingWait ClosingWaitFor(unsigned long consoleProcesses, int exitStatus) {
    if (consoleProcesses != 1) return ClosingWait::None;
    return exitStatus == 0 ? ClosingWait::ShortPause : ClosingWait::KeyPress;
}

unsigned long ConsoleProcessCount() {
    DWORD processes[4] = {};
    return GetConsoleProcessList(processes, 4);
}

void WaitBeforeClosing(ClosingWait wait) {
    if (wait == ClosingWait::ShortPause) PauseSeconds(kShortPauseSeconds);
    if (wait != ClosingWait::KeyPress) return;
    PrintLine(Say(Message::PressAnyKey));
    WaitForKey();
}

// The program's message loop, and the step it is built from, which the window's tests pump
// so that they process messages exactly as the program does.
#pragma once

#include <windows.h>

#include <optional>

namespace tallow {

// Processes every message waiting now, with the dialog keys (Tab, Shift+Tab) of the window.
// Returns WM_QUIT's exit code once it takes that message from the queue (what follows it stays
// queued), or nothing once the queue is empty.
std::optional<int> DispatchWaitingMessages(HWND window);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(HWND window);

}  // namespace tallow

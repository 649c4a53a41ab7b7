// The program's message loop, and the step it is built from, which the window's tests pump
// so that they process messages exactly as the program does.
#pragma once

#include <windows.h>

#include <optional>

namespace tallow {

// Processes every message waiting now, with the window's keys (accelerators, when given) and
// its dialog keys (Tab, Shift+Tab). Returns WM_QUIT's exit code once it takes that message from
// the queue (what follows it stays queued), or nothing once the queue is empty.
std::optional<int> DispatchWaitingMessages(HWND window, HACCEL accelerators = nullptr);

// Removes the keyboard and mouse input waiting in this thread's queue, unprocessed.
void DropWaitingInput();

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(HWND window, HACCEL accelerators = nullptr);

}  // namespace tallow

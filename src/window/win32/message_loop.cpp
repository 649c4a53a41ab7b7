#include "window/win32/message_loop.h"

#include <utility>

namespace tallow {

std::optional<int> DispatchWaitingMessages(HWND window, HACCEL accelerators) {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    // Before the dialog keys, and whichever control has the focus (F5 refreshes from any).
    if (accelerators && window && IsWindow(window) && TranslateAcceleratorW(window, accelerators, &message)) continue;
    // Tab and Shift+Tab move the focus; with no default or cancel button, Enter and Esc
    // arrive as IDOK and IDCANCEL, which the window ignores.
    if (window && IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return std::nullopt;
}

void DropWaitingInput() {
  MSG message{};
  for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}}) {
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    }
  }
}

int RunMessageLoop(HWND window, HACCEL accelerators) {
  for (;;) {
    if (const std::optional<int> exit_code = DispatchWaitingMessages(window, accelerators)) return *exit_code;
    // Sleeps until something new arrives; everything queued before has just been taken.
    WaitMessage();
  }
}

}  // namespace tallow

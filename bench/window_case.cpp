#include "window_case.h"

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include "res/resource.h"
#include "window/win32/main_window.h"

namespace tallow::bench {

struct WindowCase::State {
  explicit State(Platform& platform) : window(platform) {}
  MainWindow window;
};

WindowCase::WindowCase(Platform& platform) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  auto state = std::make_unique<State>(platform);
  if (!state->window.Create(false)) return;
  // The benchmark's own extensions, as the custom-extension button would have added them.
  state->window.combo1().Append(L".IE5");
  state->window.combo1().Append(L"INetCache");
  state_ = std::move(state);
}

WindowCase::~WindowCase() = default;

int WindowCase::Pick(std::wstring_view extension) {
  if (!state_) return -1;
  MainWindow& window = state_->window;
  StringList& combo = window.combo1();
  int index = -1;
  for (int i = 0; i < combo.Count() && index < 0; ++i) {
    if (combo.Item(i) == extension) index = i;
  }
  if (index < 0) return -1;
  // What a pick with the mouse delivers: the selection moves, then the window hears of it.
  const HWND chooser = window.Control(IDC_COMBO1);
  SendMessageW(chooser, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_COMBO1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(chooser));
  return Settled();
}

int WindowCase::Search() {
  if (!state_) return -1;
  const HWND button = state_->window.Control(IDC_COMMAND1);
  SendMessageW(state_->window.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_COMMAND1, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return Settled();
}

// Lets the list box settle (its paint requests) before the next measurement.
int WindowCase::Settled() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  return state_->window.list1().Count();
}

}  // namespace tallow::bench

#include "window/win32/control_adapters.h"

#include <algorithm>

#include "window/win32/accessible_name.h"

namespace tallow {

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

std::wstring EditTextBox::Text() const { return WindowText(hwnd_); }

void EditTextBox::SetSelLength(int length) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const DWORD text_length = static_cast<DWORD>(std::max(GetWindowTextLengthW(hwnd_), 0));
  const DWORD wanted = static_cast<DWORD>(std::max(length, 0));
  const DWORD new_end = std::min(text_length, start + wanted);
  SendMessageW(hwnd_, EM_SETSEL, start, static_cast<LPARAM>(new_end));
}

void EditTextBox::SetAccessibleName(std::wstring_view name) { tallow::SetAccessibleName(hwnd_, name); }

void PushButton::SetCaption(std::wstring_view caption) {
  const std::wstring terminated(caption);
  SetWindowTextW(hwnd_, terminated.c_str());
}

}  // namespace tallow

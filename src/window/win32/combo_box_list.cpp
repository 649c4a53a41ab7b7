#include "window/win32/combo_box_list.h"

namespace tallow {

int ComboBoxList::Count() const {
  const LRESULT count = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::wstring ComboBoxList::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void ComboBoxList::Append(std::wstring_view text) {
  const std::wstring terminated(text);
  SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

bool ComboBoxList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return false;
  const bool removed = SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0) != CB_ERR;
  last_current_ = CurrentIndex();
  return removed;
}

void ComboBoxList::Clear() {
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  last_current_ = -1;
}

int ComboBoxList::CurrentIndex() const {
  const LRESULT current = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  return current == CB_ERR ? -1 : static_cast<int>(current);
}

void ComboBoxList::SetCurrentIndex(int index) {
  if (index < -1 || index >= Count() || index == CurrentIndex()) return;
  // CB_SETCURSEL sends no notification: the Click is raised here.
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  last_current_ = CurrentIndex();
  RaiseClick();
}

int ComboBoxList::TopIndex() const {
  const LRESULT top = SendMessageW(hwnd_, CB_GETTOPINDEX, 0, 0);
  return top == CB_ERR ? 0 : static_cast<int>(top);
}

void ComboBoxList::SetTopIndex(int index) {
  if (index < 0 || index >= Count()) return;
  SendMessageW(hwnd_, CB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void ComboBoxList::Focus() { SetFocus(hwnd_); }

void ComboBoxList::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

void ComboBoxList::OnSelectionChanged() {
  const int current = CurrentIndex();
  if (current == last_current_) return;
  last_current_ = current;
  RaiseClick();
}

}  // namespace tallow

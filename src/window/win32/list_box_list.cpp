#include "window/win32/list_box_list.h"

#include "window/layout.h"

namespace tallow {

int ListBoxList::Count() const {
  const LRESULT count = SendMessageW(hwnd_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::wstring ListBoxList::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void ListBoxList::Append(std::wstring_view text) {
  const std::wstring terminated(text);
  SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void ListBoxList::AppendMany(std::vector<std::wstring>&& items) {
  if (items.empty()) return;
  size_t bytes = 0;
  for (const std::wstring& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
  for (const std::wstring& item : items) SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool ListBoxList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return false;
  const bool removed = SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0) != LB_ERR;
  last_current_ = CurrentIndex();
  return removed;
}

void ListBoxList::Clear() {
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  last_current_ = -1;
}

int ListBoxList::CurrentIndex() const {
  const LRESULT current = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
  return current == LB_ERR ? -1 : static_cast<int>(current);
}

void ListBoxList::SetCurrentIndex(int index) {
  if (index < -1 || index >= Count() || index == CurrentIndex()) return;
  // LB_SETCURSEL sends no notification: the Click is raised here.
  SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  last_current_ = CurrentIndex();
  RaiseClick();
}

int ListBoxList::TopIndex() const {
  const LRESULT top = SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0);
  return top == LB_ERR ? 0 : static_cast<int>(top);
}

void ListBoxList::SetTopIndex(int index) {
  if (index < 0 || index >= Count()) return;
  SendMessageW(hwnd_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void ListBoxList::Focus() { SetFocus(hwnd_); }

void ListBoxList::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

void ListBoxList::SetHorizontalExtent(int pixels) {
  extent_ = pixels;
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleFromBaseDpi(pixels, dpi_)), 0);
}

void ListBoxList::SetDpi(int dpi) {
  dpi_ = dpi;
  if (extent_ > 0) SetHorizontalExtent(extent_);
}

void ListBoxList::OnSelectionChanged() {
  const int current = CurrentIndex();
  if (current == last_current_) return;
  last_current_ = current;
  RaiseClick();
}

}  // namespace tallow

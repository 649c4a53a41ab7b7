#include "window/win32/list_controls.h"

#include <algorithm>

#include "window/layout.h"
#include "window/win32/accessible_name.h"

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
  const LRESULT copied =
      SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void ComboBoxList::Append(std::wstring_view text) {
  const std::wstring terminated(text);
  SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

int ComboBoxList::CurrentIndex() const {
  const LRESULT current = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  return current == CB_ERR ? -1 : static_cast<int>(current);
}

void ComboBoxList::SetCurrentIndex(int index) {
  if (index >= -1 && index < Count()) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ComboBoxList::SetAccessibleName(std::wstring_view name) { tallow::SetAccessibleName(hwnd_, name); }

void NamesListBox::SetAccessibleName(std::wstring_view name) {
  if (!rows_ || !SetAccessibleNames(hwnd_, name, rows_, descriptions_)) tallow::SetAccessibleName(hwnd_, name);
}

void NamesListBox::ShowRows(int count) {
  // Emptied first, so that no row stays current and the view starts at the top.
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  if (count > 0) SendMessageW(hwnd_, LB_SETCOUNT, static_cast<WPARAM>(count), 0);
  // Screen readers learn that every row may now name another file.
  NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

int NamesListBox::Count() const {
  const LRESULT count = SendMessageW(hwnd_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

int NamesListBox::FocusedRow() const {
  const LRESULT focused = SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0);
  return focused == LB_ERR || focused < 0 || focused >= Count() ? -1 : static_cast<int>(focused);
}

bool NamesListBox::IsSelected(int row) const {
  return row >= 0 && SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
}

int NamesListBox::CurrentIndex() const {
  const int focused = FocusedRow();
  return IsSelected(focused) ? focused : -1;
}

// LB_GETSELCOUNT and LB_GETSELITEMS count and index in full width, unlike the range messages.
std::vector<int> NamesListBox::SelectedRows() const {
  const LRESULT count = SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0);
  if (count == LB_ERR || count <= 0) return {};
  std::vector<int> rows(static_cast<size_t>(count));
  const LRESULT got =
      SendMessageW(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
  rows.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return rows;
}

void NamesListBox::SelectOnly(int row) {
  if (row < 0 || row >= Count()) return;
  // LB_SETSEL takes its row in the full-width lParam; -1 there means every row.
  SendMessageW(hwnd_, LB_SETSEL, FALSE, -1);
  SendMessageW(hwnd_, LB_SETSEL, TRUE, row);
  SendMessageW(hwnd_, LB_SETANCHORINDEX, static_cast<WPARAM>(row), 0);
  SendMessageW(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
  Announce(EVENT_OBJECT_FOCUS, row);
  Announce(EVENT_OBJECT_SELECTION, row);
}

void NamesListBox::SelectAll() {
  if (Count() == 0) return;
  // Wine's LB_SETSEL of every row forgets the anchor that Shift extends from.
  const LRESULT anchor = SendMessageW(hwnd_, LB_GETANCHORINDEX, 0, 0);
  SendMessageW(hwnd_, LB_SETSEL, TRUE, -1);
  if (anchor >= 0 && anchor != LB_ERR) SendMessageW(hwnd_, LB_SETANCHORINDEX, static_cast<WPARAM>(anchor), 0);
  NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

// Shift with a key or a click selects from the anchor to the focused row and nothing else, as in
// Explorer; Wine's list box leaves selected what lay outside the range it extends. Rows are only
// taken out, one by one: selecting one by one would scroll to each (a microsecond against many).
void NamesListBox::KeepOnlyAnchorRange() {
  const LRESULT anchor = SendMessageW(hwnd_, LB_GETANCHORINDEX, 0, 0);
  const int focused = FocusedRow();
  if (anchor == LB_ERR || anchor < 0 || anchor >= Count() || focused < 0) return;
  const int first = std::min(static_cast<int>(anchor), focused);
  const int last = std::max(static_cast<int>(anchor), focused);
  bool changed = false;
  for (const int row : SelectedRows()) {
    if (row >= first && row <= last) continue;
    SendMessageW(hwnd_, LB_SETSEL, FALSE, row);
    changed = true;
  }
  if (changed) NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void NamesListBox::ToggleFocused() {
  const int row = FocusedRow();
  if (row < 0) return;
  const bool selected = !IsSelected(row);
  SendMessageW(hwnd_, LB_SETSEL, selected, row);
  SendMessageW(hwnd_, LB_SETANCHORINDEX, static_cast<WPARAM>(row), 0);
  Announce(selected ? EVENT_OBJECT_SELECTIONADD : EVENT_OBJECT_SELECTIONREMOVE, row);
}

void NamesListBox::Announce(DWORD event, int row) const {
  NotifyWinEvent(event, hwnd_, OBJID_CLIENT, row + 1);  // children count from 1
}

void NamesListBox::SetHorizontalExtent(int pixels) {
  extent_ = pixels;
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleFromBaseDpi(pixels, dpi_)), 0);
}

void NamesListBox::SetDpi(int dpi) {
  dpi_ = dpi;
  if (extent_ > 0) SetHorizontalExtent(extent_);
}

}  // namespace tallow

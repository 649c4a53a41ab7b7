// The window's list controls as the core sees them: the drop-down list of extensions, and the
// names list, a list box that keeps no text and draws each row's name from the listing.
#pragma once

#include <windows.h>

#include "lists/string_list.h"
#include "window/win32/accessible_name.h"

namespace tallow {

// The entries of a drop-down list COMBOBOX.
class ComboBoxList final : public StringList {
 public:
  void Attach(HWND combo) { hwnd_ = combo; }
  HWND hwnd() const { return hwnd_; }

  int Count() const override;
  std::wstring Item(int index) const override;
  void Append(std::wstring_view text) override;
  int CurrentIndex() const override;
  void SetCurrentIndex(int index) override;
  void SetAccessibleName(std::wstring_view name) override;

 private:
  HWND hwnd_ = nullptr;
};

// A LISTBOX with LBS_NODATA and LBS_EXTENDEDSEL: it holds a count of rows, the focused one and a
// selected flag per row, nothing else, so showing a full cache costs it neither time nor memory.
// The current row is the focused one while it is selected: a multi-selection list box reports its
// focus as LB_GETCURSEL even when nothing is selected.
class NamesListBox final : public NamesList {
 public:
  void Attach(HWND list) { hwnd_ = list; }
  HWND hwnd() const { return hwnd_; }

  void ShowRows(int count) override;
  int Count() const override;
  int CurrentIndex() const override;
  std::vector<int> SelectedRows() const override;
  bool IsSelected(int row) const;
  // Selects that row alone, focuses it and makes it the anchor of Shift ranges, scrolled into
  // view; as a click on it would.
  void SelectOnly(int row);
  void SelectAll();
  // Ctrl+Space: the focused row in or out of the selection, the anchor moved to it.
  void ToggleFocused();
  // After Shift with a key or a click: the rows from the anchor to the focused one, alone.
  void KeepOnlyAnchorRange();
  void Focus() override { SetFocus(hwnd_); }
  // In pixels at 96 DPI; scaled to the list's DPI and applied again when that changes.
  void SetHorizontalExtent(int pixels) override;
  void SetDpi(int dpi);
  // Where screen readers learn each row's name, which the list box itself does not hold, and
  // what they read out after it.
  void SetRowNames(RowNames rows, RowNames descriptions = nullptr) {
    rows_ = std::move(rows);
    descriptions_ = std::move(descriptions);
  }
  const RowNames& row_names() const { return rows_; }
  const RowNames& row_descriptions() const { return descriptions_; }
  void SetAccessibleName(std::wstring_view name) override;

 private:
  int FocusedRow() const;
  // Screen readers follow a selection changed here; the list box tells them of its own changes.
  void Announce(DWORD event, int row) const;

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  int extent_ = 0;
  RowNames rows_;
  RowNames descriptions_;
};

}  // namespace tallow

// A string list shown in a LISTBOX control.
#pragma once

#include <windows.h>

#include "lists/string_list.h"

namespace tallow {

class ListBoxList final : public StringList {
 public:
  void Attach(HWND list_box) { hwnd_ = list_box; }
  HWND hwnd() const { return hwnd_; }

  int Count() const override;
  std::wstring Item(int index) const override;
  void Append(std::wstring_view text) override;
  // Redraw off and storage reserved: one repaint and one allocation for a whole scan.
  void AppendMany(std::vector<std::wstring>&& items) override;
  bool RemoveAt(int index) override;
  void Clear() override;
  int CurrentIndex() const override;
  void SetCurrentIndex(int index) override;
  int TopIndex() const override;
  void SetTopIndex(int index) override;
  void Focus() override;
  void SetVisible(bool visible) override;
  // In pixels at 96 DPI; scaled to the list's DPI and applied again when that changes.
  void SetHorizontalExtent(int pixels) override;
  void SetDpi(int dpi);

  // The control reports a selection change (LBN_SELCHANGE); a click on the entry that is
  // already current reports one too, so Click is raised only when the index really moved.
  void OnSelectionChanged();

 private:
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  int extent_ = 0;
  int last_current_ = -1;
};

}  // namespace tallow

// The entries of a drop-down list COMBOBOX as a string list.
#pragma once

#include <windows.h>

#include "lists/string_list.h"

namespace tallow {

class ComboBoxList final : public StringList {
 public:
  void Attach(HWND combo_box) { hwnd_ = combo_box; }
  HWND hwnd() const { return hwnd_; }

  int Count() const override;
  std::wstring Item(int index) const override;
  void Append(std::wstring_view text) override;
  bool RemoveAt(int index) override;
  void Clear() override;
  int CurrentIndex() const override;
  void SetCurrentIndex(int index) override;
  int TopIndex() const override;
  void SetTopIndex(int index) override;
  void Focus() override;
  void SetVisible(bool visible) override;

  // CBN_SELCHANGE: raises Click only when the current entry really changed.
  void OnSelectionChanged();

 private:
  HWND hwnd_ = nullptr;
  int last_current_ = -1;
};

}  // namespace tallow

// A string list shown in a LISTBOX control.
#pragma once

#include "window/win32/control_string_list.h"

namespace tallow {

class ListBoxList final : public ControlStringList<ListBoxMessages> {
 public:
  // Redraw off and storage reserved: one repaint and one allocation for a whole scan.
  void AppendMany(const std::vector<std::wstring_view>& items) override;
  // In pixels at 96 DPI; scaled to the list's DPI and applied again when that changes.
  void SetHorizontalExtent(int pixels) override;
  void SetDpi(int dpi);

 private:
  int dpi_ = 96;
  int extent_ = 0;
};

}  // namespace tallow

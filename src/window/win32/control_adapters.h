// The text box and the buttons of the window, as the core sees them.
#pragma once

#include <windows.h>

#include "window/controls.h"

namespace tallow {

class EditTextBox final : public TextBox {
 public:
  void Attach(HWND edit) { hwnd_ = edit; }
  HWND hwnd() const { return hwnd_; }
  std::wstring Text() const override;
  void SetSelLength(int length) override;
  void SetAccessibleName(std::wstring_view name) override;

 private:
  HWND hwnd_ = nullptr;
};

class PushButton final : public Button {
 public:
  void Attach(HWND button) { hwnd_ = button; }
  HWND hwnd() const { return hwnd_; }
  void SetCaption(std::wstring_view caption) override;

 private:
  HWND hwnd_ = nullptr;
};

// The text of any window, read in full.
std::wstring WindowText(HWND hwnd);

}  // namespace tallow

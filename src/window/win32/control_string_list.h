// A string list kept by a list-like control (LISTBOX or COMBOBOX): both speak the same set of
// messages under different names, which Messages supplies.
#pragma once

#include <windows.h>

#include "lists/string_list.h"
#include "window/win32/accessible_name.h"

namespace tallow {

struct ListBoxMessages {
  static constexpr UINT kGetCount = LB_GETCOUNT, kGetTextLen = LB_GETTEXTLEN, kGetText = LB_GETTEXT;
  static constexpr UINT kAddString = LB_ADDSTRING, kReset = LB_RESETCONTENT;
  static constexpr UINT kGetCurSel = LB_GETCURSEL, kSetCurSel = LB_SETCURSEL;
  static constexpr LRESULT kError = LB_ERR;
};

struct ComboBoxMessages {
  static constexpr UINT kGetCount = CB_GETCOUNT, kGetTextLen = CB_GETLBTEXTLEN, kGetText = CB_GETLBTEXT;
  static constexpr UINT kAddString = CB_ADDSTRING, kReset = CB_RESETCONTENT;
  static constexpr UINT kGetCurSel = CB_GETCURSEL, kSetCurSel = CB_SETCURSEL;
  static constexpr LRESULT kError = CB_ERR;
};

template <typename Messages>
class ControlStringList : public StringList {
 public:
  void Attach(HWND control) { hwnd_ = control; }
  HWND hwnd() const { return hwnd_; }

  int Count() const override {
    const LRESULT count = Send(Messages::kGetCount);
    return count == Messages::kError ? 0 : static_cast<int>(count);
  }

  std::wstring Item(int index) const override {
    if (index < 0 || index >= Count()) return {};
    const LRESULT length = Send(Messages::kGetTextLen, static_cast<WPARAM>(index));
    if (length == Messages::kError) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(Messages::kGetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == Messages::kError ? 0 : static_cast<size_t>(copied));
    return text;
  }

  void Append(std::wstring_view text) override {
    const std::wstring terminated(text);
    Send(Messages::kAddString, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
  }

  void Clear() override { Send(Messages::kReset); }

  int CurrentIndex() const override {
    const LRESULT current = Send(Messages::kGetCurSel);
    return current == Messages::kError ? -1 : static_cast<int>(current);
  }

  // A selection set from code sends no notification; a caller that means a Click raises it.
  void SetCurrentIndex(int index) override {
    if (index >= -1 && index < Count()) Send(Messages::kSetCurSel, static_cast<WPARAM>(index));
  }

  void Focus() override { SetFocus(hwnd_); }
  void SetAccessibleName(std::wstring_view name) override { tallow::SetAccessibleName(hwnd_, name); }

 protected:
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return SendMessageW(hwnd_, message, wparam, lparam);
  }

 private:
  HWND hwnd_ = nullptr;
};

// The entries of a drop-down list COMBOBOX.
using ComboBoxList = ControlStringList<ComboBoxMessages>;

}  // namespace tallow

// The names list's own behaviour on top of the list box, which holds no text: each row drawn
// from the listing, a typed letter selecting the next name with it, a right-click taking its row
// into account as Explorer does, Ctrl+A and Ctrl+Space, the menu from the keyboard, Enter and
// double-clicks opening the focused row. Rows are found by
// full-width indices everywhere: a list of a full cache runs far past the 65,535 rows that the
// list box's 16-bit message fields can name.
#pragma once

#include <windows.h>
// The common controls build on <windows.h>.
#include <commctrl.h>

#include <string>

#include "platform/win32/handles.h"
#include "window/form1.h"
#include "window/win32/list_controls.h"

namespace tallow {

class NamesListWindow {
 public:
  NamesListWindow(Form1& form, NamesListBox& names) : form_(form), names_(names) {}
  NamesListWindow(const NamesListWindow&) = delete;
  NamesListWindow& operator=(const NamesListWindow&) = delete;

  // Takes over the list box's messages, passing on what it does not handle itself.
  bool Attach();
  void SetDpi(int dpi) { dpi_ = dpi; }

  // What the parent window is sent on the list's behalf.
  void DrawItem(const DRAWITEMSTRUCT& item) const;
  // Selects the next row whose name starts with the character alone; always -2, the list box
  // having nothing left to do.
  LRESULT CharToItem(wchar_t typed);

  // The row under a point of the list's client area; -1 below the last row or outside.
  int RowAt(POINT point) const;

  // The infotip of the row under the pointer, owned by the window; under Wine, a tip made
  // before its owner is put on top of all others leaves the owner not on top.
  bool CreateInfoTip(HWND owner, HFONT font);
  void SetInfoTipFont(HFONT font);
  // Takes the tip away until the pointer moves again: the list scrolled, its rows were
  // replaced, a menu or a question opened.
  void HideInfoTip();
  HWND info_tip() const { return tip_.get(); }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallBase(UINT message, WPARAM wparam, LPARAM lparam) const;
  void SelectForMenuAt(POINT point);
  bool OnSelectionKey(WPARAM key);
  static bool ShiftAlone();
  POINT CurrentRowPoint() const;
  bool OnThumbScroll(WPARAM wparam);
  void TrackInfoTip(UINT message, WPARAM wparam, LPARAM lparam);
  TTTOOLINFOW InfoTool() const;
  void SetInfoTool(const RECT& rect, const std::wstring& text);

  // The owner takes its tip with it when it goes; a handle destroyed that way is left alone.
  static void DestroyIfWindow(HWND window) {
    if (IsWindow(window)) DestroyWindow(window);
  }

  Form1& form_;
  NamesListBox& names_;
  HWND list_ = nullptr;
  WNDPROC base_ = nullptr;  // the list box's own procedure
  int dpi_ = 96;
  win32::UniqueHandleOf<HWND, &DestroyIfWindow> tip_;
  // The row the tip tells of; none after it was hidden, which is not the -1 of below the rows.
  static constexpr int kNoTipRow = -2;
  bool untouched_ = false;  // no key or click since the rows were filled
  int tip_row_ = kNoTipRow;
};

}  // namespace tallow

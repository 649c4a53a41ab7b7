#include "window/win32/list_box_list.h"

#include "window/layout.h"

namespace tallow {

void ListBoxList::AppendMany(const std::vector<std::wstring_view>& items) {
  if (items.empty()) return;
  size_t bytes = 0;
  for (std::wstring_view item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
  Send(WM_SETREDRAW, FALSE);
  Send(LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
  // Straight to the list box class's own procedure: a scan adds tens of thousands of names, and
  // each sent message would also pass through the window's hook, which has no use for them.
  const auto list_box_proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd(), GCLP_WNDPROC));
  std::wstring terminated;
  for (std::wstring_view item : items) {
    terminated.assign(item);
    CallWindowProcW(list_box_proc, hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
  }
  Send(WM_SETREDRAW, TRUE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void ListBoxList::SetHorizontalExtent(int pixels) {
  extent_ = pixels;
  Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleFromBaseDpi(pixels, dpi_)));
}

void ListBoxList::SetDpi(int dpi) {
  dpi_ = dpi;
  if (extent_ > 0) SetHorizontalExtent(extent_);
}

}  // namespace tallow

#include "window/win32/names_list_window.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "lists/visible_name.h"
#include "window/layout.h"
#include "window/win32/row_info.h"

namespace tallow {

bool NamesListWindow::Attach() {
  list_ = names_.hwnd();
  // A plain window-procedure hook, not the common controls' subclass chain, which costs a
  // server round trip per message under Wine.
  SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  base_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
  return base_ != nullptr;
}

LRESULT CALLBACK NamesListWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<NamesListWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  // A handler that fails is skipped; nothing may unwind through the system's frames.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

LRESULT NamesListWindow::CallBase(UINT message, WPARAM wparam, LPARAM lparam) const {
  return CallWindowProcW(base_, list_, message, wparam, lparam);
}

LRESULT NamesListWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
      TrackInfoTip(message, wparam, lparam);
      break;
    // What is under the pointer changes, or the user turns to something else.
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case LB_SETTOPINDEX:
    case LB_RESETCONTENT:
    case LB_SETCOUNT:
      HideInfoTip();
      break;
    default:
      break;
  }
  switch (message) {
    case WM_RBUTTONDOWN:
      TrackInfoTip(message, wparam, lparam);
      SelectForMenuAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      break;
    case WM_KEYDOWN:
      if (OnSelectionKey(wparam)) return 0;
      break;
    case WM_LBUTTONDOWN:
      untouched_ = false;
      break;
    case LB_SETCOUNT:
      untouched_ = true;
      break;
    // A Ctrl chord's character (Ctrl+Space's blank among them) is no letter typed to find a name.
    case WM_CHAR:
      if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) return 0;  // AltGr types letters
      break;
    case WM_CONTEXTMENU:
      // From the keyboard (Shift+F10, the menu key) the menu opens at the highlighted row; a
      // right-click has its menu from the button's release, and must not get a second.
      if (lparam == -1) {
        const POINT at = CurrentRowPoint();
        form_.OnList1ContextMenu(at.x, at.y);
      }
      return 0;
    case WM_VSCROLL:
      if (OnThumbScroll(wparam)) return 0;
      break;
    default:
      break;
  }
  LRESULT result = CallBase(message, wparam, lparam);
  const int x = GET_X_LPARAM(lparam);
  const int y = GET_Y_LPARAM(lparam);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the list, which opens the current file with it; the dialog keys would
      // take it for the default button the window does not have.
      if (const auto* key = reinterpret_cast<const MSG*>(lparam);
          key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
        result |= DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wparam >= VK_PRIOR && wparam <= VK_DOWN && ShiftAlone()) names_.KeepOnlyAnchorRange();
      // Once per press, not again for each repeat while it is held.
      if ((lparam & (1 << 30)) != 0) break;
      if (wparam == VK_RETURN) form_.OnList1DblClick();
      if (wparam == VK_DELETE) form_.OnList1DeleteKey();
      break;
    // Anywhere on the list, below its last entry too, where LBN_DBLCLK would not come.
    case WM_LBUTTONDBLCLK:
      form_.OnList1DblClick();
      break;
    case WM_LBUTTONDOWN:
      if ((wparam & (MK_SHIFT | MK_CONTROL)) == MK_SHIFT) names_.KeepOnlyAnchorRange();
      break;
    case WM_LBUTTONUP:
      form_.OnList1MouseUp(1, x, y);
      break;
    case WM_RBUTTONUP:
      form_.OnList1MouseUp(2, x, y);
      break;
    case WM_MBUTTONUP:
      form_.OnList1MouseUp(4, x, y);
      break;
    default:
      break;
  }
  return result;
}

// The thumb's position comes in 16 bits, which would wrap past row 65,535; while the user drags,
// the scroll bar keeps it whole, and its low 16 bits are the message's. A message sent by
// another program (an accessibility tool) names its own position, which is then taken as it is.
bool NamesListWindow::OnThumbScroll(WPARAM wparam) {
  const int code = LOWORD(wparam);
  if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION) return false;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  if (!GetScrollInfo(list_, SB_VERT, &info)) return false;
  const int sent = HIWORD(wparam);
  const int position = (info.nTrackPos & 0xFFFF) == sent ? info.nTrackPos : sent;
  SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(position, 0)), 0);
  return true;
}

bool NamesListWindow::CreateInfoTip(HWND owner, HFONT font) {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr));
  if (!tip_) return false;
  // One tool, moved to the row under the pointer; with no rectangle and no text until then.
  TTTOOLINFOW tool = InfoTool();
  tool.lpszText = const_cast<wchar_t*>(L"");
  if (!SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    tip_.reset();
    return false;
  }
  // Several lines, each as wide as it needs; shown after the system's hover time, and left up
  // long enough to be read.
  SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  UINT hover = HOVER_DEFAULT;
  if (!SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover, 0) || hover == HOVER_DEFAULT) hover = 400;
  SendMessageW(tip_.get(), TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(std::min(hover, 32767u), 0));
  SendMessageW(tip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
  SetInfoTipFont(font);
  return true;
}

void NamesListWindow::SetInfoTipFont(HFONT font) {
  // The list's own font: the system's tip font may have no Chinese.
  if (tip_ && font) SendMessageW(tip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

TTTOOLINFOW NamesListWindow::InfoTool() const {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = list_;
  tool.uId = 1;
  return tool;
}

void NamesListWindow::SetInfoTool(const RECT& rect, const std::wstring& text) {
  TTTOOLINFOW tool = InfoTool();
  tool.rect = rect;
  SendMessageW(tip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = const_cast<wchar_t*>(text.c_str());  // copied by the tip
  SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void NamesListWindow::HideInfoTip() {
  if (!tip_ || tip_row_ == kNoTipRow) return;
  tip_row_ = kNoTipRow;
  // Emptied too, so that a hover already timed cannot show what the row was.
  SetInfoTool({}, {});
  SendMessageW(tip_.get(), TTM_POP, 0, 0);
}

// The tool follows the row under the pointer: a row the pointer moves onto is a new tip after
// a new hover, as in Explorer. The tip learns of the pointer only from the list's messages.
void NamesListWindow::TrackInfoTip(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tip_) return;
  if (message == WM_MOUSEMOVE) {
    const int row = RowAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
    if (row != tip_row_) {
      HideInfoTip();
      tip_row_ = row;
      const std::shared_ptr<const CacheListing> listing = form_.results().listing();
      RECT rect{};
      if (row >= 0 && static_cast<size_t>(row) < listing->Count() &&
          SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
        SetInfoTool(rect, RowTipText(*listing, static_cast<size_t>(row)));
      }
    }
  }
  MSG relayed{list_, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
  const DWORD at = GetMessagePos();
  relayed.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  SendMessageW(tip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// From the first row in view and the rows' height, confirmed by the row's own rectangle:
// LB_ITEMFROMPOINT answers in 16 bits.
int NamesListWindow::RowAt(POINT point) const {
  RECT client{};
  GetClientRect(list_, &client);
  const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
  const LRESULT height = SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0);
  if (!PtInRect(&client, point) || top == LB_ERR || height == LB_ERR || height <= 0) return -1;
  const LONG_PTR row = top + point.y / height;
  RECT rect{};
  if (row >= names_.Count() ||
      SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) == LB_ERR ||
      !PtInRect(&rect, point)) {
    return -1;
  }
  return static_cast<int>(row);
}

// As in Explorer, a right-click on a selected row keeps the selection and focuses the row; on
// any other row it makes that row the only selection, so the menu acts on what was clicked.
// Below the last row it leaves everything as it is.
void NamesListWindow::SelectForMenuAt(POINT point) {
  const int row = RowAt(point);
  untouched_ = false;
  if (row < 0) return;
  if (!names_.IsSelected(row)) {
    names_.SelectOnly(row);
  } else if (SendMessageW(list_, LB_GETCARETINDEX, 0, 0) != row) {
    SendMessageW(list_, LB_SETCARETINDEX, static_cast<WPARAM>(row), TRUE);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, list_, OBJID_CLIENT, row + 1);
  }
}

bool NamesListWindow::ShiftAlone() {
  return GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
}

// The keys the list box has no meaning for: Ctrl+A and Ctrl+Space. True when taken.
bool NamesListWindow::OnSelectionKey(WPARAM key) {
  // A list just filled has its focus on the first row, unshown: the first arrow selects that
  // row, as in Explorer, where the list box would step past it.
  const bool moves = key >= VK_SPACE && key <= VK_DOWN;  // Space, the page keys, End, Home, arrows
  if (moves && std::exchange(untouched_, false) && (key == VK_DOWN || key == VK_UP) &&
      SendMessageW(list_, LB_GETSELCOUNT, 0, 0) == 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
    names_.SelectOnly(0);
    return true;
  }
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
  if (key == 'A') {
    untouched_ = false;
    names_.SelectAll();
    return true;
  }
  if (key == VK_SPACE) {
    names_.ToggleFocused();
    return true;
  }
  return false;
}

// Just below the start of the highlighted row's text, kept within the list when the row is
// scrolled out of view.
POINT NamesListWindow::CurrentRowPoint() const {
  RECT client{};
  GetClientRect(list_, &client);
  RECT row{};
  // The focused row while selected, else the first selected one.
  int current = names_.CurrentIndex();
  if (current < 0) SendMessageW(list_, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&current));
  if (current < 0 ||
      SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(&row)) == LB_ERR) {
    return {client.left, client.top};
  }
  const int x = static_cast<int>(row.left) + ScaleFromBaseDpi(16, dpi_);
  return {std::clamp(x, static_cast<int>(client.left), static_cast<int>(client.right)),
          std::clamp(static_cast<int>(row.bottom), static_cast<int>(client.top), static_cast<int>(client.bottom))};
}

void NamesListWindow::DrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  // Only the focus moved: its dotted frame toggles, the row stays as drawn.
  if (item.itemAction == ODA_FOCUS || item.itemID == static_cast<UINT>(-1)) {
    DrawFocusRect(dc, &item.rcItem);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const COLORREF old_color = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  // Hidden and direction characters written out, so that no name can pass for another.
  const std::wstring name = VisibleName(form_.results().Name(static_cast<int>(item.itemID)));
  RECT text = item.rcItem;
  text.left += ScaleFromBaseDpi(2, dpi_);
  DrawTextW(dc, name.data(), static_cast<int>(name.size()), &text, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
  SetBkMode(dc, old_mode);
  SetTextColor(dc, old_color);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

// A typed character selects the next name that starts with it, alone, as in any list. The caret
// is asked of the list: the message that asks this carries it in 16 bits, and the row is selected
// here, since the list box would extend the selection from its anchor.
LRESULT NamesListWindow::CharToItem(wchar_t typed) {
  const int count = names_.Count();
  if (typed < L' ') return -2;  // Enter, Esc, Ctrl chords
  untouched_ = false;
  const LRESULT caret_index = SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
  const int caret = caret_index == LB_ERR || caret_index >= count ? -1 : static_cast<int>(caret_index);
  for (int step = 1; step <= count; ++step) {
    const int row = static_cast<int>((static_cast<long long>(caret) + step) % count);
    const std::wstring_view name = form_.results().Name(row);
    if (!name.empty() && CompareStringOrdinal(name.data(), 1, &typed, 1, TRUE) == CSTR_EQUAL) {
      names_.SelectOnly(row);
      break;
    }
  }
  return -2;
}

}  // namespace tallow

#include "window/win32/main_window.h"

#include <windowsx.h>

#include "res/resource.h"
#include "window/layout.h"
#include "window/win32/dpi.h"

namespace tallow {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Each focusable control is its own group, so arrow keys stay with the control that has them.
constexpr DWORD kFocusable = kChild | WS_TABSTOP | WS_GROUP;
// How far Combo1's list drops down, in pixels at 96 DPI.
constexpr int kComboDropHeight = 200;

struct ChildControl {
  std::wstring_view name;
  int id;
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
  const wchar_t* text;
};

// Frames are group boxes drawn under the controls they hold; holders need no window at all.
constexpr ChildControl kChildren[] = {
    {L"List1", IDC_LIST1, L"LISTBOX",
     kFocusable | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, L""},
    {L"Text1", IDC_TEXT1, L"EDIT", kFocusable | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"."},
    {L"Command3", IDC_COMMAND3, L"BUTTON", kFocusable | BS_PUSHBUTTON, 0, L"自定义"},
    {L"Command2", IDC_COMMAND2, L"BUTTON", kFocusable | BS_PUSHBUTTON, 0, L"使用说明"},
    {L"Command1", IDC_COMMAND1, L"BUTTON", kFocusable | BS_PUSHBUTTON, 0, L"查找"},
    {L"Combo1", IDC_COMBO1, L"COMBOBOX", kFocusable | WS_VSCROLL | CBS_DROPDOWNLIST, 0, L""},
    {L"Frame1", IDC_FRAME1, L"BUTTON", kChild | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, L""},
    {L"Frame2", IDC_FRAME2, L"BUTTON", kChild | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, L""},
    {L"Frame3", IDC_FRAME3, L"BUTTON", kChild | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, L""},
};

const ChildControl* FindChild(std::wstring_view name) {
  for (const ChildControl& child : kChildren) {
    if (child.name == name) return &child;
  }
  return nullptr;
}

win32::UniqueHfont MakeFont(std::wstring_view face, int tenths_of_point, int weight, BYTE charset, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(tenths_of_point, dpi, 720);
  font.lfWeight = weight;
  font.lfCharSet = charset;
  font.lfQuality = CLEARTYPE_QUALITY;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return win32::UniqueHfont(CreateFontIndirectW(&font));
}

win32::UniqueHmenu MakePopupMenu() {
  win32::UniqueHmenu bar(CreateMenu());
  win32::UniqueHmenu items(CreatePopupMenu());
  if (!bar || !items) return nullptr;
  AppendMenuW(items.get(), MF_STRING, IDM_COPYTO, L"保存该项");
  AppendMenuW(items.get(), MF_STRING, IDM_DEL, L"删除该项");
  AppendMenuW(items.get(), MF_STRING, IDM_DELALL, L"全部删除");
  // The bar owns its pop-up once appended; it is never shown as a menu bar.
  if (!AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(items.get()), L"菜单")) return nullptr;
  items.release();
  return bar;
}

bool RegisterMainWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TALLOWMERE));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TALLOWMERE), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Input that can move the names list's first visible entry. Messages sent by code
// (LB_SETTOPINDEX, LB_SETCURSEL, filling) are not among them: only the user scrolls.
bool IsUserScrollInput(UINT message) {
  switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_TIMER:
      return true;
    default:
      return false;
  }
}

}  // namespace

MainWindow::MainWindow(Platform& platform)
    : form_(platform, *this, {list1_, list2_, list3_, combo1_, text1_, command1_, command2_}) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(bool show) {
  show_ = show;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterMainWindowClass(instance, WindowProc)) return false;
  // The final size follows in WM_CREATE, once the window's own DPI is known.
  if (!CreateWindowExW(0, kMainWindowClass, kMainWindowCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
    return false;
  }
  form_.OnLoad();
  return true;
}

void MainWindow::Show() {
  if (!show_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void MainWindow::KeepOnTop() { SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

void MainWindow::ShowPopupMenu(int x, int y) {
  HMENU items = GetSubMenu(menu_.get(), 0);
  if (!items) return;
  POINT at{x, y};
  ClientToScreen(list1_.hwnd(), &at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  TrackPopupMenuEx(items, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  // A handler that fails is skipped; nothing may unwind through the system's frames.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case kWmDpiChanged:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_ACTIVATE:
      // Back to the control that had the focus (List1 after a message box); the default would
      // leave it on the frame, out of reach of the keyboard.
      if (LOWORD(wparam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(hwnd_, focus)) last_focus_ = focus;
      } else if (!HIWORD(wparam) && last_focus_ && IsChild(hwnd_, last_focus_)) {
        SetFocus(last_focus_);
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wparam, lparam);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcW(hwnd_, message, wparam, lparam);
      OnNcDestroy();
      return result;
    }
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

bool MainWindow::OnCreate() {
  dpi_ = DpiForWindow(hwnd_);
  menu_ = MakePopupMenu();
  if (!CreateControls()) return false;
  ApplyFonts();
  FitClientArea(nullptr);
  ApplyLayout();
  list1_.SetDpi(dpi_);
  list3_.SetVisibleRows(PathListRows());
  return true;
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case IDC_COMMAND1:
      if (code == BN_CLICKED) form_.OnCommand1Click();
      break;
    case IDC_COMMAND2:
      if (code == BN_CLICKED) form_.OnCommand2Click();
      break;
    case IDC_COMMAND3:
      if (code == BN_CLICKED) form_.OnCommand3Click();
      break;
    case IDC_COMBO1:
      if (code == CBN_SELCHANGE) combo1_.OnSelectionChanged();
      break;
    case IDC_LIST1:
      if (code == LBN_SELCHANGE) list1_.OnSelectionChanged();
      break;
    case IDC_TEXT1:
      if (code == EN_CHANGE) form_.OnText1Change();
      break;
    case IDM_COPYTO:
      form_.OnCopytoClick();
      break;
    case IDM_DEL:
      form_.OnDelClick();
      break;
    case IDM_DELALL:
      form_.OnDelallClick();
      break;
    default:
      // IDOK and IDCANCEL (Enter and Esc) among others: no button is the default or cancel one.
      break;
  }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  ApplyFonts();
  FitClientArea(&suggested);
  ApplyLayout();
  list1_.SetDpi(dpi_);
  list3_.SetVisibleRows(PathListRows());
}

void MainWindow::OnNcDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

// The client area takes the form's size at the DPI. The frame is measured after the first
// try, since its real size can differ from what the system computes for that DPI.
void MainWindow::FitClientArea(const RECT* suggested) {
  const PixelRect wanted = FormClientPixels(dpi_);
  const SIZE size = WindowSizeForClient(wanted.width, wanted.height, kWindowStyle, 0, dpi_);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE);
  SetWindowPos(hwnd_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0, size.cx, size.cy,
               flags);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right == wanted.width && client.bottom == wanted.height) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + wanted.width - client.right, size.cy + wanted.height - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto create = [&](const ChildControl& child) {
    return CreateWindowExW(child.ex_style, child.window_class, child.text, child.style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
  };
  // Creation order is z-order, and z-order is the keyboard order of Tab.
  for (std::wstring_view name : TabOrder()) {
    const ChildControl* child = FindChild(name);
    if (!child || !create(*child)) return false;
  }
  for (const ChildControl& child : kChildren) {
    if (FindPlacement(child.name)->kind == ControlKind::kFrame && !create(child)) return false;
  }
  list1_.Attach(GetDlgItem(hwnd_, IDC_LIST1));
  combo1_.Attach(GetDlgItem(hwnd_, IDC_COMBO1));
  text1_.Attach(GetDlgItem(hwnd_, IDC_TEXT1));
  command1_.Attach(GetDlgItem(hwnd_, IDC_COMMAND1));
  command2_.Attach(GetDlgItem(hwnd_, IDC_COMMAND2));
  command3_.Attach(GetDlgItem(hwnd_, IDC_COMMAND3));
  // A plain window-procedure hook, not the common controls' subclass chain: under Wine every
  // message through that chain costs a property look-up in the server, and a scan sends the
  // list one message per name.
  HWND list = list1_.hwnd();
  SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  names_list_proc_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamesListProc)));
  return names_list_proc_ != nullptr;
}

void MainWindow::ApplyFonts() {
  win32::UniqueHfont default_font = MakeFont(L"Microsoft YaHei", 90, FW_NORMAL, DEFAULT_CHARSET, dpi_);
  win32::UniqueHfont text1_font = MakeFont(L"宋体", 105, FW_BOLD, GB2312_CHARSET, dpi_);
  for (const ChildControl& child : kChildren) {
    HFONT font = child.id == IDC_TEXT1 ? text1_font.get() : default_font.get();
    SendMessageW(GetDlgItem(hwnd_, child.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls hold the new fonts now; the old ones can go.
  default_font_ = std::move(default_font);
  text1_font_ = std::move(text1_font);
}

void MainWindow::ApplyLayout() {
  for (const ChildControl& child : kChildren) {
    const std::optional<PixelRect> rect = PixelRectOf(child.name, dpi_);
    if (!rect) continue;
    // A combo box's window height includes its dropped list.
    const int height = child.id == IDC_COMBO1 ? rect->height + ScaleFromBaseDpi(kComboDropHeight, dpi_) : rect->height;
    SetWindowPos(GetDlgItem(hwnd_, child.id), nullptr, rect->left, rect->top, rect->width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitComboHeight();
}

// The closed combo box is as tall as its font makes it; its selection field is sized so
// that it takes the table's height instead. The field's height is corrected by what the box
// measures, since not every implementation reports back the value it was given.
void MainWindow::FitComboHeight() {
  HWND combo = combo1_.hwnd();
  const int wanted = PixelRectOf(L"Combo1", dpi_)->height;
  LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 3 && field != CB_ERR; ++attempt) {
    RECT rect{};
    GetWindowRect(combo, &rect);
    const int actual = rect.bottom - rect.top;
    field += wanted - actual;
    if (actual == wanted || field < 1) return;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

// How many whole rows a list box of List3's size would show, with its horizontal scroll bar.
int MainWindow::PathListRows() const {
  const LRESULT row = SendMessageW(list1_.hwnd(), LB_GETITEMHEIGHT, 0, 0);
  if (row == LB_ERR || row <= 0) return 1;
  const int inner = PixelRectOf(L"List3", dpi_)->height - 2 * SystemMetricForDpi(SM_CYEDGE, dpi_) -
                    SystemMetricForDpi(SM_CYHSCROLL, dpi_);
  return inner > 0 ? inner / static_cast<int>(row) : 1;
}

LRESULT CALLBACK MainWindow::NamesListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->HandleNamesListMessage(hwnd, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

LRESULT MainWindow::HandleNamesListMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
  const bool may_scroll = IsUserScrollInput(message);
  const int top_before = may_scroll ? list1_.TopIndex() : 0;
  const int left_before = may_scroll ? GetScrollPos(list, SB_HORZ) : 0;
  const LRESULT result = CallWindowProcW(names_list_proc_, list, message, wparam, lparam);
  if (may_scroll && (list1_.TopIndex() != top_before || GetScrollPos(list, SB_HORZ) != left_before)) {
    form_.OnList1Scroll();
  }
  switch (message) {
    // Anywhere on the list, below its last entry too, where LBN_DBLCLK would not come.
    case WM_LBUTTONDBLCLK:
      form_.OnList1DblClick();
      break;
    case WM_LBUTTONUP:
      form_.OnList1MouseUp(1, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      break;
    case WM_RBUTTONUP:
      form_.OnList1MouseUp(2, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      break;
    case WM_MBUTTONUP:
      form_.OnList1MouseUp(4, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      break;
    default:
      break;
  }
  return result;
}

}  // namespace tallow

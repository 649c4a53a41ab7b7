#include "window/win32/main_window.h"

#include <memory>

#include "lists/visible_name.h"
#include "res/resource.h"
#include "window/layout.h"
#include "window/win32/accessible_name.h"
#include "window/win32/dpi.h"
#include "window/win32/message_loop.h"
#include "window/win32/row_info.h"

namespace tallow {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Each focusable control is its own group, so arrow keys stay with the control that has them.
constexpr DWORD kFocusable = kChild | WS_TABSTOP | WS_GROUP;
// How far Combo1's list drops down, in pixels at 96 DPI.
constexpr int kComboDropHeight = 200;

struct WindowKind {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

// Frames are group boxes drawn under the controls they hold; holders need no window at all.
WindowKind WindowKindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
      return {L"BUTTON", kChild | WS_CLIPSIBLINGS | BS_GROUPBOX, 0};
    // No text in the list box: it draws each row's name from the listing, and is told of the
    // keys typed, to jump to the next name starting with one. It takes a selection as Explorer's
    // lists do, at a byte per row.
    case ControlKind::kListBox:
      return {L"LISTBOX",
              kFocusable | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_NODATA |
                  LBS_OWNERDRAWFIXED | LBS_WANTKEYBOARDINPUT | LBS_EXTENDEDSEL,
              WS_EX_CLIENTEDGE};
    case ControlKind::kTextBox:
      return {L"EDIT", kFocusable | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kButton:
      return {L"BUTTON", kFocusable | BS_PUSHBUTTON, 0};
    case ControlKind::kComboBox:
      return {L"COMBOBOX", kFocusable | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::kHolder:
      break;
  }
  return {nullptr, 0, 0};
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

// A text of each row of the listing the list shows at the time it is asked; none past its end.
template <typename Text>
RowNames RowTexts(const Form1& form, Text text) {
  return [&form, text](size_t row) -> std::optional<std::wstring> {
    const std::shared_ptr<const CacheListing> listing = form.results().listing();
    if (row >= listing->Count()) return std::nullopt;
    return text(*listing, row);
  };
}

bool RegisterMainWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TALLOWMERE));
  window_class.hIconSm =
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TALLOWMERE), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

MainWindow::MainWindow(Platform& platform) : form_(platform, *this, {list1_, combo1_, text1_, command1_, command2_}) {}

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
  // Only now that the window is on top of all others (see CreateInfoTip).
  names_window_.CreateInfoTip(hwnd_, default_font_.get());
  return true;
}

void MainWindow::Show() {
  if (!show_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

// Keys and clicks given while a scan held the window's thread were aimed at the list as it was
// before: applied to the new one, a Delete would take another file.
void MainWindow::DropPendingInput() { DropWaitingInput(); }

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
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) names_window_.HideInfoTip();
      if (OnActivate(wparam)) return 0;
      break;
    // A menu opens, or a question or another dialog that keeps the window from input.
    case WM_ENTERMENULOOP:
      names_window_.HideInfoTip();
      break;
    case WM_ENABLE:
      if (!wparam) names_window_.HideInfoTip();
      break;
    case WM_MEASUREITEM:
      // Asked while the list box is being made; the row height follows its font afterwards.
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = static_cast<UINT>(NamesRowHeight());
      return TRUE;
    case WM_DRAWITEM:
      if (wparam == IDC_LIST1) names_window_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_CHARTOITEM:
      if (reinterpret_cast<HWND>(lparam) == list1_.hwnd()) {
        return names_window_.CharToItem(static_cast<wchar_t>(LOWORD(wparam)));
      }
      break;
    case WM_DESTROY:
      for (HWND control : {list1_.hwnd(), combo1_.hwnd(), text1_.hwnd()}) ClearAccessibleName(control);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcW(hwnd_, message, wparam, lparam);
      OnNcDestroy();
      return result;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

bool MainWindow::OnCreate() {
  dpi_ = DpiForWindow(hwnd_);
  menu_ = MakePopupMenu();
  ACCEL refresh{FVIRTKEY, VK_F5, IDM_REFRESH};
  accelerators_.reset(CreateAcceleratorTableW(&refresh, 1));
  if (!CreateControls()) return false;
  ApplyFonts();
  FitClientArea();
  ApplyLayout();
  list1_.SetDpi(dpi_);
  names_window_.SetDpi(dpi_);
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
      if (code == CBN_SELCHANGE) form_.OnCombo1Click();
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
    // F5, as in every list of files: the scan the search button runs.
    case IDM_REFRESH:
      form_.OnCommand1Click();
      break;
    default:
      // IDOK and IDCANCEL (Enter and Esc) among others: no button is the default or cancel one.
      break;
  }
}

// Back to the control that had the focus (List1 after a message box); the default would leave
// it on the frame, out of reach of the keyboard. True when the focus was given back.
bool MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    if (HWND focus = GetFocus(); focus && IsChild(hwnd_, focus)) last_focus_ = focus;
    return false;
  }
  if (HIWORD(wparam) || !last_focus_ || !IsChild(hwnd_, last_focus_)) return false;
  SetFocus(last_focus_);
  return true;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyFonts();
  ApplyLayout();
  list1_.SetDpi(dpi_);
  names_window_.SetDpi(dpi_);
}

// As tall as a row of the list's font, as a list box of text would make it.
int MainWindow::NamesRowHeight() const {
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  TEXTMETRICW metrics{};
  if (!screen || !default_font_) return ScaleFromBaseDpi(16, dpi_);
  const HGDIOBJ old_font = SelectObject(screen.get(), default_font_.get());
  GetTextMetricsW(screen.get(), &metrics);
  SelectObject(screen.get(), old_font);
  return metrics.tmHeight > 0 ? metrics.tmHeight : ScaleFromBaseDpi(16, dpi_);
}

void MainWindow::OnNcDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

// The client area takes the form's size at the DPI. The frame is measured after the first
// try, since its real size can differ from what the system computes for that DPI.
void MainWindow::FitClientArea() {
  const PixelRect wanted = FormClientPixels(dpi_);
  const SIZE size = WindowSizeForClient(wanted.width, wanted.height, kWindowStyle, 0, dpi_);
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, kFlags);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right == wanted.width && client.bottom == wanted.height) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + wanted.width - client.right, size.cy + wanted.height - client.bottom,
               kFlags);
}

bool MainWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto create = [&](const FormControl& control) {
    const WindowKind kind = WindowKindOf(control.kind);
    const std::wstring text(control.text);
    return CreateWindowExW(kind.ex_style, kind.window_class, text.c_str(), kind.style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr) != nullptr;
  };
  // Creation order is z-order, and z-order is the keyboard order of Tab; the frames go under.
  for (const FormControl* control : TabOrder()) {
    if (!create(*control)) return false;
  }
  for (const FormControl& control : kFormControls) {
    if (control.kind == ControlKind::kFrame && !create(control)) return false;
  }
  list1_.Attach(Control(IDC_LIST1));
  // Named as drawn, so that a reversing character is read out written out too; described as
  // the row's infotip tells of it.
  list1_.SetRowNames(
      RowTexts(form_, [](const CacheListing& listing, size_t row) { return VisibleName(listing.Name(row)); }),
      RowTexts(form_, RowInfoText));
  combo1_.Attach(Control(IDC_COMBO1));
  text1_.Attach(Control(IDC_TEXT1));
  command1_.Attach(Control(IDC_COMMAND1));
  command2_.Attach(Control(IDC_COMMAND2));
  return names_window_.Attach();
}

void MainWindow::ApplyFonts() {
  win32::UniqueHfont default_font = MakeFont(L"Microsoft YaHei", 90, FW_NORMAL, DEFAULT_CHARSET, dpi_);
  win32::UniqueHfont text1_font = MakeFont(L"宋体", 105, FW_BOLD, GB2312_CHARSET, dpi_);
  for (const FormControl& control : kFormControls) {
    if (control.kind == ControlKind::kHolder) continue;
    HFONT font = control.id == IDC_TEXT1 ? text1_font.get() : default_font.get();
    SendMessageW(Control(control.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  names_window_.SetInfoTipFont(default_font.get());
  // The controls hold the new fonts now; the old ones can go.
  default_font_ = std::move(default_font);
  text1_font_ = std::move(text1_font);
  SendMessageW(list1_.hwnd(), LB_SETITEMHEIGHT, 0, NamesRowHeight());
}

void MainWindow::ApplyLayout() {
  for (const FormControl& control : kFormControls) {
    if (control.kind == ControlKind::kHolder) continue;
    const PixelRect rect = PixelRectOf(control, dpi_);
    // A combo box's window height includes its dropped list.
    const int height =
        control.kind == ControlKind::kComboBox ? rect.height + ScaleFromBaseDpi(kComboDropHeight, dpi_) : rect.height;
    SetWindowPos(Control(control.id), nullptr, rect.left, rect.top, rect.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitComboHeight();
}

// The closed combo box is as tall as its font makes it; its selection field is sized so
// that it takes the table's height instead. The field's height is corrected by what the box
// measures, since not every implementation reports back the value it was given.
void MainWindow::FitComboHeight() {
  HWND combo = combo1_.hwnd();
  const int wanted = PixelRectOf(ControlWithId(IDC_COMBO1), dpi_).height;
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

}  // namespace tallow

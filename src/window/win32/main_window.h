// The program's one window, Form1: creates the controls of the layout table and passes every
// control event to its handler in Form1.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "window/form1.h"
#include "window/win32/control_adapters.h"
#include "window/win32/list_controls.h"
#include "window/win32/names_list_window.h"

namespace tallow {

inline constexpr wchar_t kMainWindowClass[] = L"TallowmereForm1";
inline constexpr wchar_t kMainWindowCaption[] = L"Tallowmere -- by:Quistemar";

class MainWindow final : public FormHost {
 public:
  explicit MainWindow(Platform& platform);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls and runs Form1's Load. With show false the window
  // stays hidden (for measuring), and is otherwise the same.
  bool Create(bool show);

  HWND hwnd() const { return hwnd_; }
  // A control by its ID from resource.h.
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  int dpi() const { return dpi_; }

  // The window's keys (F5), for the message loop.
  HACCEL accelerators() const { return accelerators_.get(); }
  // The names list's infotip; null where the common controls could make none.
  HWND InfoTip() const { return names_window_.info_tip(); }

  Form1& form() { return form_; }
  NamesList& list1() { return list1_; }
  StringList& combo1() { return combo1_; }

  // FormHost
  void Show() override;
  void KeepOnTop() override;
  void ShowPopupMenu(int x, int y) override;
  void DropPendingInput() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  void OnCommand(int id, int code);
  bool OnActivate(WPARAM wparam);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnNcDestroy();

  void FitClientArea();
  bool CreateControls();
  void ApplyFonts();
  void ApplyLayout();
  void FitComboHeight();
  int NamesRowHeight() const;

  HWND hwnd_ = nullptr;
  HWND last_focus_ = nullptr;  // the control that had the focus when the window lost it
  int dpi_ = 96;
  bool show_ = true;

  NamesListBox list1_;
  ComboBoxList combo1_;
  EditTextBox text1_;
  PushButton command1_;
  PushButton command2_;
  win32::UniqueHfont default_font_;
  win32::UniqueHfont text1_font_;
  win32::UniqueHmenu menu_;
  win32::UniqueHandleOf<HACCEL, &DestroyAcceleratorTable> accelerators_;
  Form1 form_;
  NamesListWindow names_window_{form_, list1_};
};

}  // namespace tallow

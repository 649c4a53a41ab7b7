// The main window's controls: one row each, with what creating and placing it takes. Positions
// are the designer's, in twips relative to each control's container, converted to pixels at
// the display's DPI.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "res/resource.h"

namespace tallow {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kBaseDpi = 96;  // 15 twips per pixel

inline constexpr int kFormWidthTwips = 6060;
inline constexpr int kFormHeightTwips = 2850;

// Holders only offset what they hold; they have no window of their own.
enum class ControlKind { kFrame, kHolder, kListBox, kTextBox, kButton, kComboBox };

inline constexpr int kOnForm = -1;

struct FormControl {
  std::wstring_view name;
  int id;  // from resource.h; 0 for a holder
  ControlKind kind;
  int container;                 // the row of the containing frame or holder, or kOnForm
  int left, top, width, height;  // twips, relative to the container
  int tab;                       // keyboard order, lowest first
  std::wstring_view text;
};

inline constexpr std::array<FormControl, 12> kFormControls = {{
    {L"Frame1", IDC_FRAME1, ControlKind::kFrame, kOnForm, 0, 0, 6060, 2415, 12, L""},
    {L"List1", IDC_LIST1, ControlKind::kListBox, 0, 40, 140, 5960, 2220, 13, L""},
    {L"Frame2", IDC_FRAME2, ControlKind::kFrame, kOnForm, 3640, 2360, 1080, 500, 10, L""},
    {L"Text1", IDC_TEXT1, ControlKind::kTextBox, 2, 40, 120, 975, 330, 11, L"."},
    {L"Picture3", 0, ControlKind::kHolder, kOnForm, 2440, 2460, 1185, 405, 8, L""},
    {L"Command3", IDC_COMMAND3, ControlKind::kButton, 4, 0, 0, 1120, 350, 9, L"自定义"},
    {L"Picture2", 0, ControlKind::kHolder, kOnForm, 40, 2460, 1185, 405, 4, L""},
    {L"Command2", IDC_COMMAND2, ControlKind::kButton, 6, 0, 0, 1120, 350, 6, L"使用说明"},
    {L"Picture1", 0, ControlKind::kHolder, kOnForm, 1240, 2460, 1185, 405, 3, L""},
    {L"Command1", IDC_COMMAND1, ControlKind::kButton, 8, 0, 0, 1120, 350, 5, L"查找"},
    {L"Frame3", IDC_FRAME3, ControlKind::kFrame, kOnForm, 4720, 2360, 1320, 525, 1, L""},
    {L"Combo1", IDC_COMBO1, ControlKind::kComboBox, 10, 60, 160, 1215, 300, 7, L""},
}};

// Every container is a frame or holder listed before what it holds, so one pass places all.
consteval bool ContainersComeFirst() {
  for (int i = 0; i < static_cast<int>(kFormControls.size()); ++i) {
    const int c = kFormControls[i].container;
    if (c == kOnForm) continue;
    if (c < 0 || c >= i) return false;
    if (kFormControls[c].kind != ControlKind::kFrame && kFormControls[c].kind != ControlKind::kHolder) return false;
  }
  return true;
}
static_assert(ContainersComeFirst());

// The row of the control with this ID; a missing ID fails to compile where it is constant.
consteval const FormControl& ControlWithId(int id) {
  for (const FormControl& control : kFormControls) {
    if (control.id == id) return control;
  }
  throw "no control with this ID";
}

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// Rounded to the nearest pixel, so that 15 twips are one pixel at 96 DPI.
int TwipsToPixels(int twips, int dpi);

// A length designed in pixels at 96 DPI, at another DPI.
int ScaleFromBaseDpi(int pixels, int dpi);

// The control's rectangle in the form's client area at this DPI. The position is converted
// after adding the container offsets, so rounding does not accumulate through containers.
PixelRect PixelRectOf(const FormControl& control, int dpi);

PixelRect FormClientPixels(int dpi);

// Frames and holders take no focus.
bool TakesFocus(ControlKind kind);

// The controls that take the focus, in keyboard order.
std::vector<const FormControl*> TabOrder();

}  // namespace tallow

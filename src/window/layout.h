// Where the main window's controls sit: the designer's table in twips, relative to each
// control's container, and its conversion to pixels at a display's DPI.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace tallow {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kBaseDpi = 96;  // 15 twips per pixel

inline constexpr int kFormWidthTwips = 6060;
inline constexpr int kFormHeightTwips = 2850;

enum class ControlKind { kFrame, kHolder, kListBox, kHiddenList, kTextBox, kButton, kComboBox };

struct ControlPlacement {
  std::wstring_view name;
  ControlKind kind;
  std::wstring_view container;  // "Form1" or another entry of the table
  int left, top, width, height;  // twips, relative to the container
  int tab;                       // keyboard order, lowest first
};

inline constexpr std::array<ControlPlacement, 14> kFormControls = {{
    {L"Frame1", ControlKind::kFrame, L"Form1", 0, 0, 6060, 2415, 12},
    {L"List1", ControlKind::kListBox, L"Frame1", 40, 140, 5960, 2220, 13},
    {L"Frame2", ControlKind::kFrame, L"Form1", 3640, 2360, 1080, 500, 10},
    {L"Text1", ControlKind::kTextBox, L"Frame2", 40, 120, 975, 330, 11},
    {L"Picture3", ControlKind::kHolder, L"Form1", 2440, 2460, 1185, 405, 8},
    {L"Command3", ControlKind::kButton, L"Picture3", 0, 0, 1120, 350, 9},
    {L"Picture2", ControlKind::kHolder, L"Form1", 40, 2460, 1185, 405, 4},
    {L"Command2", ControlKind::kButton, L"Picture2", 0, 0, 1120, 350, 6},
    {L"Picture1", ControlKind::kHolder, L"Form1", 1240, 2460, 1185, 405, 3},
    {L"Command1", ControlKind::kButton, L"Picture1", 0, 0, 1120, 350, 5},
    {L"List3", ControlKind::kHiddenList, L"Form1", 0, 3840, 5175, 2760, 2},
    {L"Frame3", ControlKind::kFrame, L"Form1", 4720, 2360, 1320, 525, 1},
    {L"Combo1", ControlKind::kComboBox, L"Frame3", 60, 160, 1215, 300, 7},
    {L"List2", ControlKind::kHiddenList, L"Form1", 5760, 4800, 1815, 600, 0},
}};

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// Rounded to the nearest pixel, so that 15 twips are one pixel at 96 DPI.
int TwipsToPixels(int twips, int dpi);

// A length designed in pixels at 96 DPI, at another DPI.
int ScaleFromBaseDpi(int pixels, int dpi);

std::optional<ControlPlacement> FindPlacement(std::wstring_view name);

// The control's position in the form's client area, in twips, with every container's offset
// added; nullopt for an unknown name.
std::optional<ControlPlacement> AbsolutePlacement(std::wstring_view name);

// The control's rectangle in the form's client area at this DPI. The position is converted
// after adding the container offsets, so rounding does not accumulate through containers.
std::optional<PixelRect> PixelRectOf(std::wstring_view name, int dpi);

PixelRect FormClientPixels(int dpi);

// Frames, holders and hidden lists take no focus.
bool TakesFocus(ControlKind kind);

// The controls that take the focus, in keyboard order.
std::vector<std::wstring_view> TabOrder();

}  // namespace tallow

#include "window/layout.h"

#include <algorithm>
#include <cstdint>

namespace tallow {

namespace {

int RoundedRatio(std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator));
}

}  // namespace

int TwipsToPixels(int twips, int dpi) { return RoundedRatio(static_cast<std::int64_t>(twips) * dpi, kTwipsPerInch); }

int ScaleFromBaseDpi(int pixels, int dpi) { return RoundedRatio(static_cast<std::int64_t>(pixels) * dpi, kBaseDpi); }

PixelRect PixelRectOf(const FormControl& control, int dpi) {
  int left = control.left;
  int top = control.top;
  for (int c = control.container; c != kOnForm; c = kFormControls[static_cast<size_t>(c)].container) {
    left += kFormControls[static_cast<size_t>(c)].left;
    top += kFormControls[static_cast<size_t>(c)].top;
  }
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(control.width, dpi),
          TwipsToPixels(control.height, dpi)};
}

PixelRect FormClientPixels(int dpi) {
  return {0, 0, TwipsToPixels(kFormWidthTwips, dpi), TwipsToPixels(kFormHeightTwips, dpi)};
}

bool TakesFocus(ControlKind kind) { return kind != ControlKind::kFrame && kind != ControlKind::kHolder; }

std::vector<const FormControl*> TabOrder() {
  std::vector<const FormControl*> focusable;
  for (const FormControl& control : kFormControls) {
    if (TakesFocus(control.kind)) focusable.push_back(&control);
  }
  std::ranges::sort(focusable, {}, &FormControl::tab);
  return focusable;
}

}  // namespace tallow

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

std::optional<ControlPlacement> FindPlacement(std::wstring_view name) {
  for (const ControlPlacement& p : kFormControls) {
    if (p.name == name) return p;
  }
  return std::nullopt;
}

std::optional<ControlPlacement> AbsolutePlacement(std::wstring_view name) {
  std::optional<ControlPlacement> placement = FindPlacement(name);
  if (!placement) return std::nullopt;
  // The table nests at most a few levels; the bound guards against a container cycle.
  std::wstring_view container = placement->container;
  for (size_t depth = 0; container != L"Form1" && depth < kFormControls.size(); ++depth) {
    const std::optional<ControlPlacement> parent = FindPlacement(container);
    if (!parent) return std::nullopt;
    placement->left += parent->left;
    placement->top += parent->top;
    container = parent->container;
  }
  if (container != L"Form1") return std::nullopt;
  placement->container = L"Form1";
  return placement;
}

std::optional<PixelRect> PixelRectOf(std::wstring_view name, int dpi) {
  const std::optional<ControlPlacement> p = AbsolutePlacement(name);
  if (!p) return std::nullopt;
  return PixelRect{TwipsToPixels(p->left, dpi), TwipsToPixels(p->top, dpi), TwipsToPixels(p->width, dpi),
                   TwipsToPixels(p->height, dpi)};
}

PixelRect FormClientPixels(int dpi) {
  return {0, 0, TwipsToPixels(kFormWidthTwips, dpi), TwipsToPixels(kFormHeightTwips, dpi)};
}

bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::kFrame && kind != ControlKind::kHolder && kind != ControlKind::kHiddenList;
}

std::vector<std::wstring_view> TabOrder() {
  std::vector<ControlPlacement> focusable;
  for (const ControlPlacement& p : kFormControls) {
    if (TakesFocus(p.kind)) focusable.push_back(p);
  }
  std::ranges::sort(focusable, {}, &ControlPlacement::tab);
  std::vector<std::wstring_view> names;
  for (const ControlPlacement& p : focusable) names.push_back(p.name);
  return names;
}

}  // namespace tallow

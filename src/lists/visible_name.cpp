#include "lists/visible_name.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tallow {

namespace {

struct CodePoint {
  char32_t value;
  size_t start;
  size_t units;
};

// Where wchar_t holds UTF-16 (Windows), a surrogate pair is one character; elsewhere each unit is.
std::vector<CodePoint> CodePoints(std::wstring_view text) {
  std::vector<CodePoint> points;
  for (size_t i = 0; i < text.size();) {
    const char32_t unit = static_cast<char32_t>(text[i]);
    const char32_t next = i + 1 < text.size() ? static_cast<char32_t>(text[i + 1]) : 0;
    if (unit >= 0xD800 && unit < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
      points.push_back({0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), i, 2});
    } else {
      points.push_back({unit, i, 1});
    }
    i += points.back().units;
  }
  return points;
}

std::wstring WrittenOut(char32_t c) {
  std::wstring text = L"<U+";
  const int digits = c > 0xFFFFF ? 6 : c > 0xFFFF ? 5 : 4;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(c >> shift) & 0xF];
  return text + L'>';
}

// Letters that draw nothing: Braille's blank pattern and the Hangul fillers.
bool IsBlankLetter(char32_t c) { return c == 0x115F || c == 0x1160 || c == 0x2800 || c == 0x3164 || c == 0xFFA0; }

bool DrawsBlank(char32_t c) { return c == L' ' || IsSpaceLike(c) || IsBlankLetter(c); }

// The run of blanks from first to end, by its count: "<150 spaces>", "<4 × U+2800>", or
// "<9 blanks>" for a mix.
std::wstring ShortenedRun(const std::vector<CodePoint>& points, size_t first, size_t end) {
  const char32_t c = points[first].value;
  const bool alike =
      std::all_of(points.begin() + first, points.begin() + end, [c](const CodePoint& p) { return p.value == c; });
  const std::wstring count = L'<' + std::to_wstring(end - first);
  if (!alike) return count + L" blanks>";
  return c == L' ' ? count + L" spaces>" : count + L" × " + WrittenOut(c).substr(1);
}

}  // namespace

bool IsHiddenCharacter(char32_t c) {
  return c < 0x20 || IsBlankLetter(c) || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x61C || c == 0x180E ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF9 && c <= 0xFFFB) || (c >= 0xE0000 && c <= 0xE007F);
}

bool IsSpaceLike(char32_t c) {
  return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::wstring VisibleName(std::wstring_view name) {
  const std::vector<CodePoint> points = CodePoints(name);
  // A blank inside a name shows as a gap; at its end, after what looks like the extension, it
  // shows as nothing.
  size_t end_blanks = points.size();
  for (; end_blanks > 0; --end_blanks) {
    const char32_t c = points[end_blanks - 1].value;
    if (c != L' ' && c != L'.' && !IsSpaceLike(c) && !IsHiddenCharacter(c)) break;
  }
  std::wstring visible;
  visible.reserve(name.size());
  for (size_t i = 0; i < points.size(); ++i) {
    const CodePoint& point = points[i];
    size_t run_end = i;
    while (run_end < points.size() && DrawsBlank(points[run_end].value)) ++run_end;
    if (run_end - i >= 3) {
      visible += ShortenedRun(points, i, run_end);
      i = run_end - 1;
    } else if (IsHiddenCharacter(point.value) || (i >= end_blanks && IsSpaceLike(point.value))) {
      visible += WrittenOut(point.value);
    } else {
      visible.append(name.substr(point.start, point.units));
    }
  }
  return visible;
}

bool IsDisguisedName(std::wstring_view name) { return VisibleName(name) != name; }

}  // namespace tallow

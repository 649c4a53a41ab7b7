#include "lists/visible_name.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

namespace tallow {

namespace {

struct CodeRange {
  char32_t first, last;
};

#include "lists/character_tables.inc"

template <size_t N>
bool InRanges(const CodeRange (&ranges)[N], char32_t c) {
  const auto after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                      [](char32_t value, const CodeRange& range) { return value < range.first; });
  return after != std::begin(ranges) && c <= std::prev(after)->last;
}

bool IsCombiningMark(char32_t c) { return InRanges(kCombiningMarks, c); }

// More marks than this on one letter reach into the lines above and below it.
constexpr size_t kMostMarksDrawn = 4;

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

// A rough width that never underestimates: no character is wider than two ASCII ones, and a mark
// adds nothing to the letter it sits on.
size_t Columns(std::wstring_view text) {
  size_t columns = 0;
  for (const CodePoint& point : CodePoints(text)) {
    columns += point.value < 0x80 ? 1 : IsCombiningMark(point.value) ? 0 : 2;
  }
  return columns;
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

// The characters from first to end by their count: "<150 spaces>", "<255 × U+200B>", and for a
// mix "<9 blanks>", "<7 hidden>", "<5 blank or hidden>" or "<40 combining marks>".
std::wstring Counted(const std::vector<CodePoint>& points, size_t first, size_t end) {
  const auto from = points.begin() + static_cast<std::ptrdiff_t>(first);
  const auto to = points.begin() + static_cast<std::ptrdiff_t>(end);
  const char32_t c = from->value;
  const auto all = [&](auto test) { return std::all_of(from, to, [&](const CodePoint& p) { return test(p.value); }); };
  const std::wstring count = L'<' + std::to_wstring(end - first);
  if (all([c](char32_t d) { return d == c; })) {
    return c == L' ' ? count + L" spaces>" : count + L" × " + WrittenOut(c).substr(1);
  }
  if (all(DrawsBlank)) return count + L" blanks>";
  if (all(IsCombiningMark)) return count + L" combining marks>";
  if (all([](char32_t d) { return !DrawsBlank(d); })) return count + L" hidden>";
  return count + L" blank or hidden>";
}

// What shortening never splits: a character with the marks on it, or what a run is drawn as.
struct Piece {
  std::wstring text;
  bool extension_dot = false;
};

std::vector<Piece> DrawnPieces(std::wstring_view name) {
  const std::vector<CodePoint> points = CodePoints(name);
  const auto literal = [&](size_t i) { return std::wstring(name.substr(points[i].start, points[i].units)); };
  // A blank inside a name shows as a gap; at its end, after what looks like the extension, it
  // shows as nothing, and so does a dot: Windows drops both from a path, so such a name also
  // stands for another file.
  size_t end_blanks = points.size();
  for (; end_blanks > 0; --end_blanks) {
    const char32_t c = points[end_blanks - 1].value;
    if (c != L' ' && c != L'.' && !IsSpaceLike(c) && !IsHiddenCharacter(c)) break;
  }
  const auto written = [&](size_t i) { return i >= end_blanks || IsHiddenCharacter(points[i].value); };
  const auto unseen = [&](size_t i) { return written(i) || DrawsBlank(points[i].value); };

  std::vector<Piece> pieces;
  for (size_t i = 0; i < points.size();) {
    size_t end = i + 1;
    if (unseen(i)) {
      bool all_blank = true;
      for (end = i; end < points.size() && unseen(end); ++end) all_blank = all_blank && DrawsBlank(points[end].value);
      const size_t count = end - i;
      const bool alike = std::all_of(points.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     points.begin() + static_cast<std::ptrdiff_t>(end),
                                     [&](const CodePoint& p) { return p.value == points[i].value; });
      // Counted where a run would be a wide gap or a long string; a short mix is written out
      // whole, so that no blank in it passes for part of a gap.
      if (count >= 3 && (alike || all_blank || count > 4)) {
        pieces.push_back({Counted(points, i, end)});
      } else {
        for (size_t j = i; j < end; ++j) {
          pieces.push_back({written(j) || count >= 3 ? WrittenOut(points[j].value) : literal(j)});
        }
      }
    } else if (IsCombiningMark(points[i].value)) {
      while (end < points.size() && IsCombiningMark(points[end].value) && !unseen(end)) ++end;
      if (end - i > kMostMarksDrawn) {
        pieces.push_back({Counted(points, i, end)});
      } else {
        if (pieces.empty()) pieces.emplace_back();
        for (size_t j = i; j < end; ++j) pieces.back().text += literal(j);
      }
    } else {
      pieces.push_back({literal(i), points[i].value == L'.'});
    }
    i = end;
  }
  return pieces;
}

std::wstring Joined(std::vector<Piece>::const_iterator begin, std::vector<Piece>::const_iterator end) {
  std::wstring text;
  for (auto piece = begin; piece != end; ++piece) text += piece->text;
  return text;
}

}  // namespace

// Half a surrogate pair on its own, which a volume that does not check can hold, draws as the
// box of an unknown character: as U+FFFD or any other.
bool IsHiddenCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0xD800 && c <= 0xDFFF) ||
         (c >= 0xFFF9 && c <= 0xFFFB) || IsBlankLetter(c) || InRanges(kIgnorable, c);
}

bool IsSpaceLike(char32_t c) {
  return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::wstring VisibleName(std::wstring_view name) {
  const std::vector<Piece> pieces = DrawnPieces(name);
  return Joined(pieces.begin(), pieces.end());
}

std::wstring VisibleNameWithin(std::wstring_view name, size_t columns) {
  const std::vector<Piece> pieces = DrawnPieces(name);
  std::vector<size_t> widths;
  size_t total = 0;
  for (const Piece& piece : pieces) total += widths.emplace_back(Columns(piece.text));
  if (total <= columns) return Joined(pieces.begin(), pieces.end());

  const size_t room = columns > 2 ? columns - 2 : 0;  // "…" is as wide as a character
  const auto dot = std::find_if(pieces.rbegin(), pieces.rend(), [](const Piece& p) { return p.extension_dot; });
  const auto from = widths.end() - (dot == pieces.rend() ? 0 : dot - pieces.rbegin() + 1);
  const size_t extension = std::accumulate(from, widths.end(), size_t{0});
  // The end tells the type, so it keeps at least half the room, and the whole extension where
  // that leaves the start a quarter.
  const size_t end_room = std::max(room / 2, std::min(extension, room - room / 4));
  size_t tail = pieces.size();
  size_t used = 0;
  while (tail > 0 && used + widths[tail - 1] <= end_room) used += widths[--tail];
  size_t head = 0;
  while (head < tail && used + widths[head] <= room) used += widths[head++];
  return Joined(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(head)) + L"…" +
         Joined(pieces.begin() + static_cast<std::ptrdiff_t>(tail), pieces.end());
}

bool IsDisguisedName(std::wstring_view name) {
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.remove_suffix(1);
  return VisibleName(name) != name;
}

}  // namespace tallow

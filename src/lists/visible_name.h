// Names as the user must see them. A cached name can hold characters that draw nothing or turn
// the text around them ("pic" U+202E "fig.exe" draws as "picexe.gif"), or end in a blank that is
// not a space: drawn as they are, one name could pass for another.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallow {

// A control character, or a format character that draws nothing or reorders what surrounds it:
// every character Unicode lets a font draw as nothing (zero-width spaces and joiners, direction
// marks, overrides and isolates, variation selectors, the byte order mark, tag characters); the
// line separators; half a surrogate pair alone; and the letters that draw as blank (Braille's
// blank, the Hangul fillers), which no name needs.
bool IsHiddenCharacter(char32_t c);
// A character drawn as blank space, other than the space itself (U+00A0, U+3000).
bool IsSpaceLike(char32_t c);

// The name with each hidden character, and each blank or dot among those that end it, written
// out as "<U+202E>"; each run of three or more blanks or hidden characters, and each stack of
// more than four marks on one letter, drawn by its count ("<150 spaces>", "<255 × U+200B>"),
// since it would otherwise push the real type out of sight or paint over the lines around it.
// The name as it is when it holds none of these. For drawing only: the file keeps its name.
std::wstring VisibleName(std::wstring_view name);

// The name as VisibleName draws it, shortened in the middle with "…" where it is wider than
// the columns given (an ASCII character is one column, any other two): its start and its end
// with the extension stay, and nothing written out is cut.
std::wstring VisibleNameWithin(std::wstring_view name, size_t columns);

// True when the name would be drawn otherwise than it is spelled, leaving aside the plain spaces
// and dots that end it: they are drawn written out too, but Windows drops them wherever the name
// is used, so the type is judged by the name without them.
bool IsDisguisedName(std::wstring_view name);

}  // namespace tallow

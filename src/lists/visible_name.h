// Names as the user must see them. A cached name can hold characters that draw nothing or turn
// the text around them ("pic" U+202E "fig.exe" draws as "picexe.gif"), or end in a blank that is
// not a space: drawn as they are, one name could pass for another.
#pragma once

#include <string>
#include <string_view>

namespace tallow {

// A control character, or a format character that draws nothing or reorders what surrounds it:
// zero-width spaces and joiners, direction marks, embeddings, overrides and isolates, the byte
// order mark, tag characters; and the letters that draw as blank (Braille's blank, the Hangul
// fillers), which no name needs.
bool IsHiddenCharacter(char32_t c);
// A character drawn as blank space, other than the space itself (U+00A0, U+3000).
bool IsSpaceLike(char32_t c);

// The name with each hidden character, and each space-like one among the blanks and dots that
// end it, written out as "<U+202E>"; and each run of three or more blanks shortened to its count
// ("<150 spaces>"), which would otherwise push the real type out of sight. The name as it is
// when it holds none of these. For drawing only: the file keeps its name.
std::wstring VisibleName(std::wstring_view name);

// True when the name would be drawn otherwise than it is spelled.
bool IsDisguisedName(std::wstring_view name);

}  // namespace tallow

// Keys for the duplicate search, built from weights that the locale gives each code unit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {

// Builds a text's key as the concatenation of its code units' weights, asking the weigher
// once per distinct code unit. With the locale's primary sort weights as the weights, texts
// that the locale's case-insensitive comparison calls equal share a key, also when they differ
// in case, accents written apart, ligatures (æ, ae) or characters the comparison ignores.
// Keys are coarser than the comparison (accents do not count), never finer, except where the
// locale weighs characters together: contractions of some languages, and kana length marks.
// Supplementary characters (surrogates in UTF-16) are left out of every key, since the locale
// weighs them only as pairs, if at all.
class TextKeyBuilder {
 public:
  // The weights of one code unit, packed into code units of their own; empty for a unit that
  // the comparison ignores at this level.
  using Weigher = std::function<std::wstring(wchar_t unit)>;

  explicit TextKeyBuilder(Weigher weigher);

  std::wstring Build(std::wstring_view text);
  // FNV-1a over Build(text)'s code units from the state from, computed without building the
  // key: the duplicate search needs only this for every path, and a key string would cost an
  // allocation each.
  uint64_t Hash(std::wstring_view text, uint64_t from);

 private:
  static constexpr uint32_t kUnknown = UINT32_MAX;

  uint32_t Learn(wchar_t unit);

  Weigher weigher_;
  std::vector<uint32_t> spans_;  // per code unit: offset in pool_ << 8 | length, or kUnknown
  std::wstring pool_;
};

// True when the texts are the same but for the case of ASCII letters.
bool DifferOnlyInAsciiCase(std::wstring_view a, std::wstring_view b);

}  // namespace tallow

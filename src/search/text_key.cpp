#include "search/text_key.h"

#include "platform/platform.h"

#include <algorithm>

namespace tallow {
namespace {

// A half of a supplementary character in UTF-16, or a whole one where wchar_t holds 32 bits.
bool IsSupplementary(wchar_t unit) {
  const auto value = static_cast<uint32_t>(unit);
  return (value >= 0xD800 && value <= 0xDFFF) || value > 0xFFFF;
}

wchar_t AsciiLower(wchar_t unit) {
  return unit >= L'A' && unit <= L'Z' ? static_cast<wchar_t>(unit + (L'a' - L'A')) : unit;
}

}  // namespace

TextKeyBuilder::TextKeyBuilder(Weigher weigher) : weigher_(std::move(weigher)), spans_(0x10000, kUnknown) {}

std::wstring TextKeyBuilder::Build(std::wstring_view text) {
  // This runs for every path of a scan: the key is written straight into a buffer sized for
  // the usual single unit of weight per unit, and a single unit is copied without a call.
  std::wstring key(text.size() + 8, L'\0');
  wchar_t* out = key.data();
  wchar_t* end = out + key.size();
  for (const wchar_t unit : text) {
    if (IsSupplementary(unit)) continue;
    uint32_t span = spans_[unit];
    if (span == kUnknown) span = Learn(unit);
    const wchar_t* weights = pool_.data() + (span >> 8);
    const size_t count = span & 0xFF;
    if (count == 1 && out != end) {
      *out++ = *weights;
      continue;
    }
    if (count > static_cast<size_t>(end - out)) {
      const size_t used = static_cast<size_t>(out - key.data());
      key.resize(std::max(key.size() * 2, used + count));
      out = key.data() + used;
      end = key.data() + key.size();
    }
    out = std::copy_n(weights, count, out);
  }
  key.resize(static_cast<size_t>(out - key.data()));
  return key;
}

uint64_t TextKeyBuilder::Hash(std::wstring_view text, uint64_t from) {
  uint64_t hash = from;
  for (const wchar_t unit : text) {
    if (IsSupplementary(unit)) continue;
    uint32_t span = spans_[unit];
    if (span == kUnknown) span = Learn(unit);
    hash = Platform::HashKeyUnits({pool_.data() + (span >> 8), span & 0xFF}, hash);
  }
  return hash;
}

uint32_t TextKeyBuilder::Learn(wchar_t unit) {
  std::wstring weights = weigher_(unit);
  if (weights.size() > 0xFF) weights.resize(0xFF);  // a shorter key only collides more
  const uint32_t span = static_cast<uint32_t>(pool_.size()) << 8 | static_cast<uint32_t>(weights.size());
  pool_ += weights;
  spans_[unit] = span;
  return span;
}

bool DifferOnlyInAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace tallow

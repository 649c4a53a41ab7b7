#include "platform/file_names.h"

#include <algorithm>

namespace tallow {

std::wstring_view NamePart(std::wstring_view path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool IsHoldableName(std::wstring_view name) {
  return std::ranges::none_of(
      name, [](wchar_t c) { return c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos; });
}

std::wstring_view TrimmedName(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return name;
}

bool WouldBeTrimmed(std::wstring_view path) {
  for (size_t start = 0; start < path.size();) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    const std::wstring_view name = path.substr(start, end - start);
    if (name != L"." && name != L".." && TrimmedName(name).size() != name.size()) return true;
    start = end + 1;
  }
  return false;
}

std::wstring_view LastExtension(std::wstring_view name) {
  name = TrimmedName(name);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
}

}  // namespace tallow

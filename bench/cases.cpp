#include "cases.h"

#include <windows.h>

#include <cwctype>

#include "bench_support.h"
#include "platform/win32/handles.h"
#include "search/run_search.h"
#include "window/form1.h"

namespace tallow::bench {

long long CountEntries(const std::vector<std::wstring>& folders) {
  long long count = 0;
  WIN32_FIND_DATAW data;
  for (const std::wstring& folder : folders) {
    const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileExW(
        (folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)));
    if (!find) continue;
    do {
      ++count;
    } while (FindNextFileW(find.get(), &data));
  }
  return count;
}

ScanCase::ScanCase(Platform& platform, std::wstring_view extension) : platform_(platform) {
  int current = -1;
  for (std::wstring_view builtin : kBuiltInExtensions) {
    if (builtin == extension) current = extensions_.Count();
    extensions_.Append(builtin);
  }
  if (current < 0) {
    current = extensions_.Count();
    extensions_.Append(extension);
  }
  extensions_.SetCurrentIndex(current);
}

int ScanCase::Run() {
  RunSearch(platform_, SearchLists{names_, folders_, paths_, extensions_});
  return paths_.Count();
}

std::vector<std::wstring> WithCaseVariants(std::vector<std::wstring> paths) {
  Lcg rng(0xCA5E);
  for (size_t i = 2; i < paths.size(); i += 3) {
    // An earlier path that is not itself a variant, so each variant has exactly one original.
    size_t source = rng.Below(static_cast<unsigned>(i));
    if (source % 3 == 2) --source;
    std::wstring variant = paths[source];
    // Swap the case of every other letter, the way a link typed differently names the same file.
    bool flip = rng.Below(2) == 0;
    for (wchar_t& c : variant) {
      if (c < 128 && std::iswalpha(c)) {
        if (flip)
          c = std::iswupper(c) ? static_cast<wchar_t>(std::towlower(c)) : static_cast<wchar_t>(std::towupper(c));
        flip = !flip;
      }
    }
    paths[i] = std::move(variant);
  }
  return paths;
}

}  // namespace tallow::bench

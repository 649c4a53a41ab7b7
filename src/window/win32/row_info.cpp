#include "window/win32/row_info.h"

#include <windows.h>
// The shell's light API builds on <windows.h>.
#include <shlwapi.h>

#include "lists/visible_name.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/handles.h"

namespace tallow {

namespace {

// Explorer's own size format, from the system's shlwapi, looked up at run time as the
// platform's type functions are. The newer form knows sizes past 2 GB for sure; Wine has only
// the older one.
class SizeFormat {
 public:
  SizeFormat() {
    shlwapi_ = LoadSystemDll(L"shlwapi.dll");
    if (!shlwapi_) return;
    extended_ =
        reinterpret_cast<ExtendedFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "StrFormatByteSizeEx")));
    plain_ = reinterpret_cast<PlainFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "StrFormatByteSizeW")));
  }

  std::wstring Text(uint64_t size) const {
    wchar_t text[64] = {};
    if (extended_ && SUCCEEDED(extended_(size, SFBS_FLAGS_ROUND_TO_NEAREST_DISPLAYED_DIGIT, text, 64))) return text;
    if (plain_ && plain_(static_cast<LONGLONG>(size), text, 64)) return text;
    return std::to_wstring(size) + L" 字节";
  }

 private:
  using ExtendedFn = HRESULT(WINAPI*)(ULONGLONG, SFBS_FLAGS, PWSTR, UINT);
  using PlainFn = PWSTR(WINAPI*)(LONGLONG, PWSTR, UINT);
  win32::UniqueHmodule shlwapi_;
  ExtendedFn extended_ = nullptr;
  PlainFn plain_ = nullptr;
};

// Local time by the rules in force on that date, as Explorer shows it, not by today's offset.
std::wstring WrittenText(int64_t written) {
  const auto units = static_cast<uint64_t>(written);
  const FILETIME utc{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (written <= 0 || !FileTimeToSystemTime(&utc, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return {};
  }
  wchar_t date[96] = {};
  wchar_t time[96] = {};
  wchar_t short_time[96] = {};
  // The short time format where the system has one (Windows 7 on); the long one without seconds
  // otherwise.
  const bool has_short = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, short_time, 96) > 0;
  if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 96, nullptr) ||
      !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, has_short ? 0 : TIME_NOSECONDS, &local,
                       has_short ? short_time : nullptr, time, 96)) {
    return {};
  }
  return std::wstring(date) + L' ' + time;
}

// The name and folder drawn by the function given, which alone tells the tip from the description.
std::wstring RowText(const CacheListing& listing, size_t row, std::wstring (*drawn)(std::wstring_view)) {
  static const SizeFormat size_format;
  std::wstring text = drawn(listing.Name(row));
  text.append(L"\r\n大小：").append(size_format.Text(listing.Size(row)));
  if (const std::wstring written = WrittenText(listing.Written(row)); !written.empty()) {
    text.append(L"\r\n修改日期：").append(written);
  }
  // Folder names come from the cache too, and are drawn as names are.
  text.append(L"\r\n位置：").append(drawn(listing.Location(listing.FolderIndex(row))));
  return text;
}

// The tip breaks a line wider than itself at a space, so a long name could draw a line of its
// own making above the real ones. 72 columns of the widest letters take about 900 pixels at
// 100 %, within a laptop screen of 1366 at 150 %.
std::wstring OnTipLine(std::wstring_view name) { return VisibleNameWithin(name, 72); }

}  // namespace

std::wstring RowInfoText(const CacheListing& listing, size_t row) { return RowText(listing, row, VisibleName); }

std::wstring RowTipText(const CacheListing& listing, size_t row) { return RowText(listing, row, OnTipLine); }

}  // namespace tallow

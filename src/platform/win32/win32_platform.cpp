#include "platform/win32/win32_platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <vector>

#include "platform/win32/cache_remover.h"
#include "platform/win32/exact_path.h"
#include "platform/win32/shell_progress.h"

namespace tallow {
namespace {

int Length(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

// True when a name in the path ends in a dot or a space, which the shell (it takes no paths in
// the \\?\ form) would trim and so reach another file by; "." and ".." are folders as they stand.
bool ShellWouldTrim(std::wstring_view path) {
  for (size_t start = 0; start < path.size();) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    const std::wstring_view name = path.substr(start, end - start);
    if (name != L"." && name != L".." && !name.empty() && (name.back() == L'.' || name.back() == L' ')) return true;
    start = end + 1;
  }
  return false;
}

// The full path, separators doubled by a drive root's folder taken out.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(kLongPathChars, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), kLongPathChars, full.data(), nullptr);
  full.resize(length < kLongPathChars ? length : 0);
  return full;
}

// A listing with an attribute mask always includes ordinary files, read-only ones too, and
// directories, hidden and system entries only when the mask names each of their attributes.
bool MaskAdmits(DWORD attributes, unsigned mask) {
  constexpr DWORD kSelective = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kSelective & ~static_cast<DWORD>(mask)) == 0;
}

// The item's file-system path, cut at the first NUL; nullopt when it has none.
std::optional<std::wstring> PathFromIdList(PCIDLIST_ABSOLUTE pidl) {
  std::wstring buffer(kLongPathChars, L'\0');
  if (!SHGetPathFromIDListEx(pidl, buffer.data(), kLongPathChars, GPFIDL_DEFAULT)) return std::nullopt;
  buffer.resize(std::wcslen(buffer.c_str()));
  return buffer;
}

// Each code unit's upper case, as the file system compares names. Surrogates stay as they
// are; a unit the system does not map stays as it is too, which can only keep two names that
// compare equal apart in the duplicate search, never merge two that do not.
std::vector<wchar_t> UpperCaseTable() {
  std::vector<wchar_t> table(0x10000);
  for (size_t unit = 0; unit < table.size(); ++unit) table[unit] = static_cast<wchar_t>(unit);
  auto map = [&](size_t first, size_t last) {
    const int count = static_cast<int>(last - first + 1);
    std::vector<wchar_t> upper(static_cast<size_t>(count));
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &table[first], count, upper.data(), count, nullptr,
                      nullptr, 0) == count) {
      std::copy(upper.begin(), upper.end(), table.begin() + static_cast<std::ptrdiff_t>(first));
    }
  };
  map(1, 0xD7FF);
  map(0xE000, 0xFFFF);
  return table;
}

}  // namespace

std::optional<std::wstring> Win32Platform::SpecialFolderPath(int csidl) {
  PIDLIST_ABSOLUTE raw = nullptr;
  if (SHGetSpecialFolderLocation(owner_, csidl, &raw) != S_OK) {
    CoTaskMemFree(raw);
    return std::wstring();
  }
  const win32::UniquePidl pidl(raw);
  return PathFromIdList(pidl.get());
}

bool Win32Platform::EnumerateDirectory(const std::wstring& path, unsigned attr_mask, const EntrySink& sink) {
  std::wstring pattern = path;
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileExW(
      ExactPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)));
  // A folder with no entries at all (an empty drive root) is listed, with nothing in it.
  if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (!MaskAdmits(data.dwFileAttributes, attr_mask)) continue;
    sink({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
          (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
          static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                               data.ftLastWriteTime.dwLowDateTime)});
  } while (FindNextFileW(find.get(), &data));
  return true;
}

std::unique_ptr<CacheFileRemover> Win32Platform::BeginRemoving() { return std::make_unique<Win32CacheRemover>(); }

int Win32Platform::ShowBox(const std::wstring& text, const std::wstring& title, UINT flags) const {
  flags |= MB_SETFOREGROUND;
  // Without an owner, the box still keeps the thread's windows from input until it is closed.
  if (!owner_) flags |= MB_TASKMODAL;
  return MessageBoxW(owner_, text.c_str(), title.c_str(), flags);
}

void Win32Platform::ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
  ShowBox(text, title, MB_OK | static_cast<UINT>(icon));
}

bool Win32Platform::PathsEqual(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), Length(a), b.data(), Length(b), TRUE) == CSTR_EQUAL;
}

uint64_t Win32Platform::PathHash(std::wstring_view text, uint64_t from) {
  if (upper_case_.empty()) upper_case_ = UpperCaseTable();
  return HashUnits(text, from, [this](wchar_t unit) { return upper_case_[static_cast<uint16_t>(unit)]; });
}

std::optional<std::wstring> Win32Platform::PickFolder(const std::wstring& title) {
  wchar_t display_name[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = owner_;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
  const win32::UniquePidl pidl(SHBrowseForFolderW(&info));
  if (!pidl) return std::nullopt;
  std::optional<std::wstring> path = PathFromIdList(pidl.get());
  if (path && path->empty()) return std::nullopt;
  return path;
}

int Win32Platform::ShellFileOperation(ShellCopyRecord& record) {
  // The shell takes lists of paths, each ended by a NUL and the list by a second one.
  const std::wstring from = record.from + L'\0';
  const std::wstring to = record.to + L'\0';
  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = owner_;
  operation.wFunc = record.function;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = static_cast<FILEOP_FLAGS>(record.flags);
  operation.fAnyOperationsAborted = FALSE;
  const int result = SHFileOperationW(&operation);
  record.any_operations_aborted = operation.fAnyOperationsAborted != FALSE;
  return result;
}

bool Win32Platform::OpenWithDefaultProgram(const std::wstring& path) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Returns once the program is started, also when the shell starts it through DDE. The shell's
  // own UI stays on: for a type without a program it offers a choice (Wine reports an error),
  // in a window owned by the main window, as Explorer does on a double-click.
  info.fMask = SEE_MASK_NOASYNC;
  info.hwnd = owner_;
  info.lpVerb = nullptr;  // the type's default verb, as a double-click in Explorer
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

bool Win32Platform::AskYesNo(const std::wstring& text, const std::wstring& title) {
  return ShowBox(text, title, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

std::unique_ptr<Progress> Win32Platform::BeginProgress(size_t total) {
  return std::make_unique<ShellProgress>(owner_, total);
}

std::optional<std::wstring> Win32Platform::ShellPath(const std::wstring& path) {
  if (!ShellWouldTrim(path)) return path;
  // The short name has no such end, on volumes that keep short names.
  std::wstring short_path(kLongPathChars, L'\0');
  const DWORD length = GetShortPathNameW(ExactPath(path).c_str(), short_path.data(), kLongPathChars);
  if (length == 0 || length >= kLongPathChars) return std::nullopt;
  short_path.resize(length);
  short_path = WithoutExactPrefix(std::move(short_path));
  if (ShellWouldTrim(short_path)) return std::nullopt;
  return short_path;
}

std::optional<FileStamp> Win32Platform::StampOf(const std::wstring& path) {
  const win32::UniqueHandle entry(win32::NullIfInvalid(
      CreateFileW(ExactPath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_BASIC_INFO basic{};
  if (!entry || !GetFileInformationByHandle(entry.get(), &info) ||
      !GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic)) {
    return std::nullopt;
  }
  return FileStamp{(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, info.dwVolumeSerialNumber,
                   (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, basic.ChangeTime.QuadPart};
}

bool Win32Platform::IsDangerousType(const std::wstring& extension) {
  // Not every shlwapi has it.
  LoadShlwapi();
  return assoc_is_dangerous_ && assoc_is_dangerous_(extension.c_str());
}

bool Win32Platform::MarkFromInternet(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return false;
  const std::wstring exact = ExactPath(full);
  const DWORD attributes = GetFileAttributesW(exact.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // Only where the volume keeps named streams: elsewhere the stream's name would make a file
  // of its own.
  std::wstring root(kLongPathChars, L'\0');
  DWORD volume_flags = 0;
  if (!GetVolumePathNameW(full.c_str(), root.data(), kLongPathChars) ||
      !GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &volume_flags, nullptr, 0) ||
      (volume_flags & FILE_NAMED_STREAMS) == 0) {
    return false;
  }
  const win32::UniqueHandle stream(
      win32::NullIfInvalid(CreateFileW((exact + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)));
  // The Internet zone, as a browser marks what it downloads.
  static constexpr char kZone[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
  DWORD written = 0;
  return stream && WriteFile(stream.get(), kZone, sizeof kZone - 1, &written, nullptr) && written == sizeof kZone - 1;
}

void Win32Platform::LoadShlwapi() {
  if (shlwapi_loaded_) return;
  shlwapi_loaded_ = true;
  shlwapi_.reset(LoadLibraryExW(L"shlwapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  // Windows 7 without its loader update takes no search flags; the system's own copy is found
  // first all the same.
  if (!shlwapi_) shlwapi_.reset(LoadLibraryW(L"shlwapi.dll"));
  if (!shlwapi_) return;
  assoc_is_dangerous_ =
      reinterpret_cast<AssocIsDangerousFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocIsDangerous")));
  assoc_query_string_ = reinterpret_cast<AssocQueryStringFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocQueryStringW")));
}

TypeProgram Win32Platform::ProgramForType(const std::wstring& extension) {
  LoadShlwapi();
  TypeProgram program;
  if (!assoc_query_string_) return program;
  // Without the stand-in for unknown types, whose command only offers a choice of programs. No
  // verb: the default one, which is what a double-click and the shell's open run.
  const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE;
  auto query = [&](ASSOCSTR what) {
    DWORD size = 0;
    std::wstring text;
    if (assoc_query_string_(flags, what, extension.c_str(), nullptr, nullptr, &size) != S_FALSE || size == 0) {
      return text;
    }
    text.resize(size);
    if (FAILED(assoc_query_string_(flags, what, extension.c_str(), nullptr, text.data(), &size))) return std::wstring();
    text.resize(std::wcslen(text.c_str()));
    return text;
  };
  program.command = query(ASSOCSTR_COMMAND);
  program.delegate = !query(ASSOCSTR_DELEGATEEXECUTE).empty();
  return program;
}

}  // namespace tallow

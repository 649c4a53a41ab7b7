#include "platform/win32/win32_platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <vector>

#include "platform/file_names.h"
#include "platform/win32/cache_remover.h"
#include "platform/win32/exact_path.h"
#include "platform/win32/shell_progress.h"

namespace tallow {
namespace {

int Length(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

// A listing with an attribute mask always includes ordinary files, read-only ones too, and
// directories, hidden and system entries only when the mask names each of their attributes.
bool MaskAdmits(DWORD attributes, unsigned mask) {
  constexpr DWORD kSelective = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kSelective & ~static_cast<DWORD>(mask)) == 0;
}

// The name a file-system item has in its folder, as the file system spells it; nullopt for an
// item of the shell's own (a library, This PC).
std::optional<std::wstring> FileSystemName(PCIDLIST_ABSOLUTE pidl) {
  IShellFolder* raw_folder = nullptr;
  PCUITEMID_CHILD last = nullptr;
  if (FAILED(SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&raw_folder), &last))) {
    return std::nullopt;
  }
  const win32::UniqueComPtr<IShellFolder> folder(raw_folder);
  SFGAOF attributes = SFGAO_FILESYSTEM;
  STRRET name{};
  if (FAILED(folder->GetAttributesOf(1, &last, &attributes)) || (attributes & SFGAO_FILESYSTEM) == 0 ||
      FAILED(folder->GetDisplayNameOf(last, SHGDN_INFOLDER | SHGDN_FORPARSING, &name))) {
    return std::nullopt;
  }
  // The narrow forms hold names of the system's code page, never a file's own.
  if (name.uType != STRRET_WSTR) return std::nullopt;
  const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> text(name.pOleStr, &CoTaskMemFree);
  return text ? std::optional<std::wstring>(text.get()) : std::nullopt;
}

// The item's file-system path, whole; nullopt when it has none. Some shells (Wine) cut a path
// of MAX_PATH characters and more short and still report success, which would name another
// folder, or give none: such a path is built from the folder above and the item's own name.
std::optional<std::wstring> PathFromIdList(PCIDLIST_ABSOLUTE pidl) {
  std::wstring buffer(kLongPathChars, L'\0');
  if (SHGetPathFromIDListEx(pidl, buffer.data(), kLongPathChars, GPFIDL_DEFAULT)) {
    buffer.resize(std::wcslen(buffer.c_str()));
    if (buffer.size() < MAX_PATH - 1) return buffer;
  }
  if (ILIsEmpty(pidl)) return std::nullopt;
  const std::optional<std::wstring> name = FileSystemName(pidl);
  const win32::UniquePidl parent(ILCloneFull(pidl));
  if (!name || name->empty() || name->find(L'\\') != std::wstring::npos || !parent || !ILRemoveLastID(parent.get())) {
    return std::nullopt;
  }
  std::optional<std::wstring> path = PathFromIdList(parent.get());
  if (!path) return std::nullopt;
  if (!path->ends_with(L'\\')) *path += L'\\';
  return *path + *name;
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

std::optional<FolderId> Win32Platform::FolderIdOf(const std::wstring& path) {
  const win32::UniqueHandle folder(win32::NullIfInvalid(
      CreateFileW(ExactPath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  return folder ? RealFolderId(folder.get(), queries_) : std::nullopt;
}

std::unique_ptr<CacheFileRemover> Win32Platform::BeginRemoving() {
  return std::make_unique<Win32CacheRemover>(queries_);
}

std::wstring Win32Platform::FailureText(uint32_t status) {
  wchar_t* raw = nullptr;
  // Language 0: the user's, else the system's, else English.
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, status, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(raw, &LocalFree);
  std::wstring text(length && raw ? std::wstring_view(raw, length) : std::wstring_view());
  // The system's texts end their last line; the message box ends it for them.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (!text.empty()) return text;
  wchar_t code[32];
  std::swprintf(code, std::size(code), L"错误 0x%08X", static_cast<unsigned>(status));
  return code;
}

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

bool Win32Platform::AskYesNo(const std::wstring& text, const std::wstring& title) {
  return ShowBox(text, title, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

std::unique_ptr<Progress> Win32Platform::BeginProgress(size_t total, const std::wstring& title) {
  return std::make_unique<ShellProgress>(owner_, total, title);
}

std::optional<std::wstring> Win32Platform::ShellPath(const std::wstring& path) {
  if (!WouldBeTrimmed(path)) return path;
  // The short name has no such end, on volumes that keep short names.
  std::wstring short_path(kLongPathChars, L'\0');
  const DWORD length = GetShortPathNameW(ExactPath(path).c_str(), short_path.data(), kLongPathChars);
  if (length == 0 || length >= kLongPathChars) return std::nullopt;
  short_path.resize(length);
  short_path = WithoutExactPrefix(std::move(short_path));
  if (WouldBeTrimmed(short_path)) return std::nullopt;
  return short_path;
}

}  // namespace tallow

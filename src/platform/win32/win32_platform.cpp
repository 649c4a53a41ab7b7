#include "platform/win32/win32_platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cwchar>
#include <vector>

#include "platform/file_names.h"
#include "platform/win32/cache_remover.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/exact_path.h"
#include "platform/win32/shell_progress.h"

namespace tallow {
namespace {

int Length(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

// The full path, separators doubled by a drive root's folder taken out.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(kLongPathChars, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), kLongPathChars, full.data(), nullptr);
  full.resize(length < kLongPathChars ? length : 0);
  return full;
}

// A text value of a key under HKEY_CLASSES_ROOT (its default value for a null name); empty when
// there is none.
std::wstring ClassesText(const std::wstring& key, const wchar_t* value) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  text.resize(std::wcslen(text.c_str()));
  return text;
}

// The EditFlags of a key under HKEY_CLASSES_ROOT: a number, or four bytes in older types.
DWORD ClassesFlags(const std::wstring& key) {
  DWORD flags = 0;
  DWORD size = sizeof flags;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"EditFlags", RRF_RT_REG_DWORD | RRF_RT_REG_BINARY, nullptr, &flags,
                   &size) != ERROR_SUCCESS) {
    return 0;
  }
  return flags;
}

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
  return folder ? RealFolderId(folder.get()) : std::nullopt;
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

bool Win32Platform::OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Returns once the program is started, also when the shell starts it through DDE. The shell's
  // own UI stays on: for a type without a program it offers a choice (Wine reports an error),
  // in a window owned by the main window, as Explorer does on a double-click.
  info.fMask = SEE_MASK_NOASYNC;
  // The type's program, never the file itself: without the class, Wine's shell first tries to
  // start any file as a program, whatever its name.
  if (!type.empty()) {
    info.fMask |= SEE_MASK_CLASSNAME;
    info.lpClass = type.c_str();
  }
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
  if (!HasTrimmedName(path)) return path;
  // The short name has no such end, on volumes that keep short names.
  std::wstring short_path(kLongPathChars, L'\0');
  const DWORD length = GetShortPathNameW(ExactPath(path).c_str(), short_path.data(), kLongPathChars);
  if (length == 0 || length >= kLongPathChars) return std::nullopt;
  short_path.resize(length);
  short_path = WithoutExactPrefix(std::move(short_path));
  if (HasTrimmedName(short_path)) return std::nullopt;
  return short_path;
}

EntryKind Win32Platform::KindOf(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExactPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kFile;
  }
  // Only a name that is surely free counts as nothing: a failed copy removes what it finds there.
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::kNone : EntryKind::kFile;
}

bool Win32Platform::SameContents(const std::wstring& a, const std::wstring& b) {
  auto open = [](const std::wstring& path) {
    return win32::UniqueHandle(win32::NullIfInvalid(
        CreateFileW(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  };
  const win32::UniqueHandle first = open(a);
  const win32::UniqueHandle second = open(b);
  LARGE_INTEGER first_size{};
  LARGE_INTEGER second_size{};
  if (!first || !second || !GetFileSizeEx(first.get(), &first_size) || !GetFileSizeEx(second.get(), &second_size) ||
      first_size.QuadPart != second_size.QuadPart) {
    return false;
  }
  constexpr DWORD kChunk = 1 << 16;
  std::vector<char> first_bytes(kChunk);
  std::vector<char> second_bytes(kChunk);
  for (LONGLONG left = first_size.QuadPart; left > 0;) {
    const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(left, kChunk));
    DWORD got_first = 0;
    DWORD got_second = 0;
    if (!ReadFile(first.get(), first_bytes.data(), want, &got_first, nullptr) ||
        !ReadFile(second.get(), second_bytes.data(), want, &got_second, nullptr) || got_first != want ||
        got_second != want || !std::equal(first_bytes.begin(), first_bytes.begin() + want, second_bytes.begin())) {
      return false;
    }
    left -= want;
  }
  return true;
}

bool Win32Platform::DiscardFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExactPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  return DeleteFileW(ExactPath(path).c_str()) != FALSE;
}

bool Win32Platform::IsDangerousType(const std::wstring& extension) {
  // Not every shlwapi has it, and Wine's always says no.
  LoadShlwapi();
  if (assoc_is_dangerous_ && assoc_is_dangerous_(extension.c_str())) return true;
  // The type's own word, on its extension's key or its program's, which that function reads too.
  for (const std::wstring& key : {extension, ClassesText(extension, nullptr), AssocText(ASSOCSTR_PROGID, extension)}) {
    if (!key.empty() && (ClassesFlags(key) & FTA_AlwaysUnsafe) != 0) return true;
  }
  return false;
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
  shlwapi_ = LoadSystemDll(L"shlwapi.dll");
  if (!shlwapi_) return;
  assoc_is_dangerous_ =
      reinterpret_cast<AssocIsDangerousFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocIsDangerous")));
  assoc_query_string_ = reinterpret_cast<AssocQueryStringFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocQueryStringW")));
  assoc_get_perceived_type_ = reinterpret_cast<AssocGetPerceivedTypeFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocGetPerceivedType")));
}

std::wstring Win32Platform::AssocText(ASSOCSTR what, const std::wstring& extension) {
  LoadShlwapi();
  std::wstring text;
  if (!assoc_query_string_) return text;
  // Without the stand-in for unknown types, whose command only offers a choice of programs. No
  // verb: the default one, which is what a double-click and the shell's open run.
  const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE;
  DWORD size = 0;
  if (assoc_query_string_(flags, what, extension.c_str(), nullptr, nullptr, &size) != S_FALSE || size == 0) return text;
  text.resize(size);
  if (FAILED(assoc_query_string_(flags, what, extension.c_str(), nullptr, text.data(), &size))) return std::wstring();
  text.resize(std::wcslen(text.c_str()));
  return text;
}

bool Win32Platform::PerceivedAsMedia(const std::wstring& extension) {
  LoadShlwapi();
  if (assoc_get_perceived_type_) {
    PERCEIVED type = PERCEIVED_TYPE_UNSPECIFIED;
    PERCEIVEDFLAG source = PERCEIVEDFLAG_UNDEFINED;
    PWSTR name = nullptr;
    const HRESULT result = assoc_get_perceived_type_(extension.c_str(), &type, &source, &name);
    CoTaskMemFree(name);
    if (SUCCEEDED(result)) {
      return type == PERCEIVED_TYPE_IMAGE || type == PERCEIVED_TYPE_AUDIO || type == PERCEIVED_TYPE_VIDEO;
    }
  }
  // Where that function is missing or not implemented (Wine's), the registry's own word, where
  // the function looks for it.
  for (const std::wstring& key : {extension, L"SystemFileAssociations\\" + extension}) {
    const std::wstring perceived = ClassesText(key, L"PerceivedType");
    if (perceived.empty()) continue;
    return std::ranges::any_of(std::array{L"image", L"audio", L"video"}, [&](const wchar_t* kind) {
      return CompareStringOrdinal(perceived.c_str(), -1, kind, -1, TRUE) == CSTR_EQUAL;
    });
  }
  return false;
}

TypeProgram Win32Platform::ProgramForType(const std::wstring& extension) {
  TypeProgram program;
  program.command = AssocText(ASSOCSTR_COMMAND, extension);
  program.delegate = !AssocText(ASSOCSTR_DELEGATEEXECUTE, extension).empty();
  program.media = PerceivedAsMedia(extension);
  return program;
}

}  // namespace tallow

#include "platform/win32/cache_remover.h"

#include <winternl.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/win32/exact_path.h"
#include "platform/win32/handles.h"

namespace tallow {

namespace {

// Opens the entry itself, never what a link points to; the other programs that use the cache
// keep their access, to rename or delete it too when share_delete says so.
win32::UniqueHandle OpenEntry(const std::wstring& path, DWORD access, DWORD flags, bool share_delete) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (share_delete ? FILE_SHARE_DELETE : 0);
  return win32::UniqueHandle(win32::NullIfInvalid(CreateFileW(
      ExactPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | flags, nullptr)));
}

// The attributes of the entry behind the handle; 0 when unknown. (Not the whole
// BY_HANDLE_FILE_INFORMATION: under Wine that asks for the volume's too, at fifteen times the cost.)
DWORD AttributesOf(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ? info.FileAttributes : 0;
}

bool IsRealFolder(HANDLE handle) {
  const DWORD attributes = AttributesOf(handle);
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Where the handle's entry lies as the file system resolves it, every link on the way followed,
// in the \\?\ form.
bool FinalPath(HANDLE handle, std::wstring& path) {
  if (path.size() < MAX_PATH) path.resize(MAX_PATH);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < path.size()) {
      path.resize(length);
      return true;
    }
    if (length == 0 && GetLastError() != ERROR_MORE_DATA) return false;
    path.resize(std::max<size_t>(length, kLongPathChars));
  }
  // Some implementations (Wine) know no final path beyond MAX_PATH; the object's own name is the
  // same path in the kernel's form.
  using QueryObjectFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query_object = reinterpret_cast<QueryObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  constexpr int kObjectNameInformation = 1;
  struct Name {
    UNICODE_STRING text;
    wchar_t units[kLongPathChars + 8];
  };
  auto name = std::make_unique<Name>();
  ULONG length = 0;
  if (!query_object || query_object(handle, kObjectNameInformation, name.get(), sizeof(Name), &length) < 0 ||
      !name->text.Buffer) {
    return false;
  }
  const std::wstring_view kernel(name->text.Buffer, name->text.Length / sizeof(wchar_t));
  if (!kernel.starts_with(L"\\??\\")) return false;
  path.assign(L"\\\\?\\").append(kernel.substr(4));
  return true;
}

// Equal as the file system compares names. Not every implementation keeps a dot or a space at
// the end of a name in the paths it reports; a name is never a link's target by that alone.
bool SameName(std::wstring_view a, std::wstring_view b) {
  auto trim = [](std::wstring_view name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    return name;
  };
  a = trim(a);
  b = trim(b);
  return a.size() == b.size() && a.size() <= INT_MAX &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
             CSTR_EQUAL;
}

// True when path is the entry name directly in the folder whose path is folder (ending in "\").
bool IsEntryOf(std::wstring_view path, std::wstring_view folder, std::wstring_view name) {
  if (path.size() <= folder.size() || !SameName(path.substr(0, folder.size()), folder)) return false;
  const std::wstring_view rest = path.substr(folder.size());
  return rest.find(L'\\') == std::wstring_view::npos && SameName(rest, name);
}

}  // namespace

void Win32CacheRemover::Resolve(std::wstring_view container, std::wstring_view bucket) {
  container_.assign(container);
  bucket_.assign(bucket);
  resolved_ = true;
  folder_final_.clear();
  bucket_handle_.reset();
  container_handle_.reset();
  if (container.empty() || bucket.empty()) return;
  // The folders above the container may rightly be links (a profile moved to another drive):
  // the container is taken where it resolves now, but neither it nor the bucket may be a link.
  // Both stay open, and without leave to rename or delete them, while their files go.
  constexpr DWORD kKeep = FILE_FLAG_BACKUP_SEMANTICS;
  win32::UniqueHandle container_handle = OpenEntry(container_, FILE_READ_ATTRIBUTES, kKeep, false);
  std::wstring container_final;
  if (!container_handle || !IsRealFolder(container_handle.get()) ||
      !FinalPath(container_handle.get(), container_final)) {
    return;
  }
  win32::UniqueHandle bucket_handle = OpenEntry(container_ + bucket_, FILE_READ_ATTRIBUTES, kKeep, false);
  std::wstring bucket_final;
  if (!bucket_handle || !IsRealFolder(bucket_handle.get()) || !FinalPath(bucket_handle.get(), bucket_final)) return;
  if (!container_final.ends_with(L'\\')) container_final += L'\\';
  if (!IsEntryOf(bucket_final, container_final, bucket_)) return;
  folder_final_ = bucket_final + L'\\';
  container_handle_ = std::move(container_handle);
  bucket_handle_ = std::move(bucket_handle);
}

bool Win32CacheRemover::Remove(std::wstring_view container, std::wstring_view bucket, std::wstring_view name) {
  if (!resolved_ || container != container_ || bucket != bucket_) Resolve(container, bucket);
  if (folder_final_.empty() || name.empty()) return false;
  path_.assign(container).append(bucket).append(1, L'\\').append(name);
  const win32::UniqueHandle file = OpenEntry(path_, DELETE | FILE_READ_ATTRIBUTES, 0, true);
  if (!file) return false;
  // Checked on the handle that deletes: the file that goes is the one that lies, as no link,
  // at the listed place in the bucket, where a link to a file would have led elsewhere.
  const DWORD attributes = AttributesOf(file.get());
  if (attributes == 0 || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) return false;
  if (!FinalPath(file.get(), final_) || !IsEntryOf(final_, folder_final_, name)) return false;
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace tallow

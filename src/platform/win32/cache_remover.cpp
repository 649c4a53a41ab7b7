#include "platform/win32/cache_remover.h"

#include <winternl.h>

#include <climits>
#include <cstring>

#include "platform/file_names.h"
#include "platform/win32/exact_path.h"

namespace tallow {

namespace {

using NtCreateFileFn = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, IO_STATUS_BLOCK*, LARGE_INTEGER*, ULONG,
                                    ULONG, ULONG, ULONG, void*, ULONG);
using NtQueryObjectFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);

template <typename Function>
Function NtdllFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// FileDispositionInfoEx and its flags, which SDKs declare only for builds aimed at Windows 10
// 1709 and later.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
struct DispositionInfoEx {
  DWORD flags;
};

// The other programs that use the cache keep their access to read and write what is held.
constexpr ULONG kShareKeep = FILE_SHARE_READ | FILE_SHARE_WRITE;

// What the native open answers when the entry is not there: gone, or going once the last
// program holding it lets go.
constexpr LONG kNameNotFound = static_cast<LONG>(0xC0000034);
constexpr LONG kPathNotFound = static_cast<LONG>(0xC000003A);
constexpr LONG kDeletePending = static_cast<LONG>(0xC0000056);
// ... and when the entry there is of the other kind, or its name is no longer one.
constexpr LONG kNameInvalid = static_cast<LONG>(0xC0000033);
constexpr LONG kIsADirectory = static_cast<LONG>(0xC00000BA);
constexpr LONG kNotADirectory = static_cast<LONG>(0xC0000103);

// How a delete ends when the native open of its folder or file failed with status.
RemoveResult OpenFailure(LONG status) {
  if (status == kNameNotFound || status == kPathNotFound || status == kDeletePending) return {RemoveOutcome::kGone};
  if (status == kNameInvalid || status == kIsADirectory || status == kNotADirectory) return {RemoveOutcome::kNotListed};
  static const auto to_error = NtdllFunction<RtlNtStatusToDosErrorFn>("RtlNtStatusToDosError");
  return {RemoveOutcome::kFailed, to_error ? static_cast<uint32_t>(to_error(status)) : ERROR_ACCESS_DENIED};
}

// A name that stays inside one folder: no separator, stream or NUL, not the folder or its parent.
bool IsBareName(std::wstring_view name) {
  constexpr std::wstring_view kNot(L"\\/:\0", 4);
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(kNot) == std::wstring_view::npos;
}

// Opens the entry name directly in the folder open on parent, by the native call that takes the
// folder's handle as its root: the entry reached is a child of that very folder, whatever has
// become of the path to it, and its name is taken as it stands, a dot or a space at its end
// too. The entry itself is opened, never what a link points to, where the system honours that.
// Sets status to the open's own.
win32::UniqueHandle OpenChild(HANDLE parent, std::wstring_view name, ACCESS_MASK access, ULONG share, ULONG options,
                              LONG& status) {
  static const auto create_file = NtdllFunction<NtCreateFileFn>("NtCreateFile");
  status = kNameInvalid;
  if (!create_file || !IsBareName(name) || name.size() * sizeof(wchar_t) > USHRT_MAX) return nullptr;
  const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  UNICODE_STRING text{bytes, bytes, const_cast<wchar_t*>(name.data())};
  OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof attributes;
  attributes.RootDirectory = parent;
  attributes.ObjectName = &text;
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  status = create_file(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, share, FILE_OPEN,
                       options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  return status < 0 ? nullptr : win32::UniqueHandle(handle);
}

// The attributes of the entry behind the handle; 0 when unknown. (Not the whole
// BY_HANDLE_FILE_INFORMATION: under Wine that asks for the volume's too, at fifteen times the
// cost.) FAT and exFAT, which hold no reparse points, refuse the tag query: their entries'
// basic information has the attributes too, a reparse point's mark among them.
DWORD AttributesOf(HANDLE handle, const HandleQueries& queries) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (queries.info(handle, FileAttributeTagInfo, &tag, sizeof tag)) return tag.FileAttributes;
  FILE_BASIC_INFO basic{};
  return queries.info(handle, FileBasicInfo, &basic, sizeof basic) ? basic.FileAttributes : 0;
}

bool IsFolderNoLink(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Equal as the file system compares names. Not every implementation keeps a dot or a space at
// the end of a name in the paths it reports; a name is never a link's target by that alone.
bool SameName(std::wstring_view a, std::wstring_view b) {
  a = TrimmedName(a);
  b = TrimmedName(b);
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

bool KeepsCreationTimes() {
  static const bool wine = NtdllFunction<const char*(CDECL*)()>("wine_get_version") != nullptr;
  return !wine;
}

// Where the id is 0 or cannot be read, the identity is the volume and the creation time: the
// bucket is still listed, and its deletes rest on the open inside the held container and the
// check of the kernel's name.
std::optional<FolderId> RealFolderId(HANDLE folder, const HandleQueries& queries) {
  if (!IsFolderNoLink(AttributesOf(folder, queries))) return std::nullopt;
  FolderId id{};
  FILE_BASIC_INFO basic{};
  if (queries.creation_times && queries.info(folder, FileBasicInfo, &basic, sizeof basic)) {
    id.created = basic.CreationTime.QuadPart;
  }
  FILE_ID_INFO info{};
  BY_HANDLE_FILE_INFORMATION info64{};
  if (queries.info(folder, FileIdInfo, &info, sizeof info)) {
    id.volume = info.VolumeSerialNumber;
    std::memcpy(&id.low, info.FileId.Identifier, sizeof id.low);
    std::memcpy(&id.high, info.FileId.Identifier + sizeof id.low, sizeof id.high);
  } else if (queries.ids(folder, &info64)) {
    // Before Windows 8, whose volumes all have 64-bit ids.
    id.volume = info64.dwVolumeSerialNumber;
    id.low = (uint64_t{info64.nFileIndexHigh} << 32) | info64.nFileIndexLow;
  }
  return id;
}

struct Win32CacheRemover::NameBuffer {
  UNICODE_STRING text;
  wchar_t units[kLongPathChars];
};

Win32CacheRemover::Win32CacheRemover(HandleQueries queries)
    : queries_(std::move(queries)), buffer_(std::make_unique<NameBuffer>()) {}
Win32CacheRemover::~Win32CacheRemover() = default;

// The kernel's own name: \Device\HarddiskVolume2\..., the form VOLUME_NAME_NT gives, on Windows;
// \??\C:\... under Wine. It needs no DOS name of the volume, which a RAM disk or a virtual drive
// may lack, and reaches past MAX_PATH where Wine's final paths stop. Both sides of a comparison
// come from here, so they have the same form.
bool Win32CacheRemover::KernelName(HANDLE handle, std::wstring& name) {
  static const auto query_object = NtdllFunction<NtQueryObjectFn>("NtQueryObject");
  constexpr int kObjectNameInformation = 1;
  ULONG length = 0;
  if (!query_object || query_object(handle, kObjectNameInformation, buffer_.get(), sizeof(NameBuffer), &length) < 0 ||
      !buffer_->text.Buffer || buffer_->text.Length == 0) {
    return false;
  }
  name.assign(buffer_->text.Buffer, buffer_->text.Length / sizeof(wchar_t));
  return true;
}

RemoveResult Win32CacheRemover::Hold(std::wstring_view container, std::wstring_view bucket, const FolderId& folder) {
  container_.assign(container);
  bucket_.assign(bucket);
  folder_ = folder;
  tried_ = true;
  bucket_name_.clear();
  bucket_handle_.reset();
  container_handle_.reset();
  posix_delete_ = true;
  if (container_.empty()) return {RemoveOutcome::kNotListed};
  // Share modes apply to handles that may list a folder, not to those that only read its
  // attributes: held so, without leave to delete, neither folder can be renamed, deleted or so
  // replaced by another program while their files go.
  constexpr ACCESS_MASK kHold = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
  win32::UniqueHandle container_handle(
      win32::NullIfInvalid(CreateFileW(ExactPath(container_).c_str(), kHold, kShareKeep, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (!container_handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {RemoveOutcome::kGone};
    return {RemoveOutcome::kFailed, error};
  }
  if (!IsFolderNoLink(AttributesOf(container_handle.get(), queries_))) return {RemoveOutcome::kNotListed};
  // The folders above may rightly be links (a profile moved to another drive), and any of them
  // may have been swapped since the scan: what counts is that the bucket is the very folder the
  // scan listed.
  LONG status = 0;
  win32::UniqueHandle bucket_handle =
      OpenChild(container_handle.get(), bucket_, kHold, kShareKeep, FILE_DIRECTORY_FILE, status);
  if (!bucket_handle) return OpenFailure(status);
  if (RealFolderId(bucket_handle.get(), queries_) != folder || !KernelName(bucket_handle.get(), bucket_name_)) {
    bucket_name_.clear();
    return {RemoveOutcome::kNotListed};
  }
  bucket_name_ += L'\\';
  container_handle_ = std::move(container_handle);
  bucket_handle_ = std::move(bucket_handle);
  return {RemoveOutcome::kRemoved};
}

bool Win32CacheRemover::Dispose(HANDLE file) {
  // The name goes at once, also while another program holds the file open and lets others
  // delete it (the browser, an indexer): a file only marked for deletion would stay, and be
  // listed again, until they let go. A read-only file still stays.
  if (posix_delete_) {
    DispositionInfoEx info{kDispositionDelete | kDispositionPosixSemantics};
    if (SetFileInformationByHandle(file, kFileDispositionInfoEx, &info, sizeof info)) return true;
    const DWORD error = GetLastError();
    // Systems before Windows 10 1709, and volumes without such deletes, refuse the request itself.
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION) {
      return false;
    }
    posix_delete_ = false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

RemoveResult Win32CacheRemover::Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& folder,
                                       std::wstring_view name) {
  if (!tried_ || folder != folder_ || container != container_ || bucket != bucket_) {
    held_ = Hold(container, bucket, folder);
  }
  if (held_.outcome != RemoveOutcome::kRemoved) return held_;
  LONG status = 0;
  const win32::UniqueHandle file = OpenChild(bucket_handle_.get(), name, DELETE | FILE_READ_ATTRIBUTES,
                                             kShareKeep | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE, status);
  if (!file) return OpenFailure(status);
  // Checked on the handle that deletes: the file that goes is the one that lies, as no link, at
  // the listed place in the held bucket. Some systems (Wine) follow a link whatever they are
  // told, and its kernel name then lies elsewhere.
  const DWORD attributes = AttributesOf(file.get(), queries_);
  if (attributes == 0 || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return {RemoveOutcome::kNotListed};
  if (!KernelName(file.get(), file_name_) || !IsEntryOf(file_name_, bucket_name_, name))
    return {RemoveOutcome::kNotListed};
  if (Dispose(file.get())) return {RemoveOutcome::kRemoved};
  return {RemoveOutcome::kFailed, static_cast<uint32_t>(GetLastError())};
}

}  // namespace tallow

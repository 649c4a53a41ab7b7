#include "platform/win32/win32_platform.h"

// The saved copies: what a path names, whether two files hold the same bytes, copies into the
// picked folder, removing what a failed copy left, and the mark of the Internet on what was saved.
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/win32/exact_path.h"

namespace tallow {
namespace {

// The full path, separators doubled by a drive root's folder taken out.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(kLongPathChars, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), kLongPathChars, full.data(), nullptr);
  full.resize(length < kLongPathChars ? length : 0);
  return full;
}

struct AsideJob {
  const std::function<bool()>* work;
  bool result = false;
};

DWORD WINAPI RunAsideJob(void* parameter) {
  auto* job = static_cast<AsideJob*>(parameter);
  job->result = (*job->work)();
  return 0;
}

// Runs work on a thread of its own while this one paints its windows and answers what other
// threads send them, so that reading a large file never makes the window look hung; input
// waits, as it does while any action runs.
bool RunAside(const std::function<bool()>& work) {
  AsideJob job{&work};
  const win32::UniqueHandle thread(CreateThread(nullptr, 0, &RunAsideJob, &job, 0, nullptr));
  if (!thread) return work();
  const HANDLE handle = thread.get();
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&message);
  }
  WaitForSingleObject(handle, INFINITE);
  return job.result;
}

win32::UniqueHandle OpenToRead(const std::wstring& path, DWORD access = GENERIC_READ,
                               DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) {
  return win32::UniqueHandle(win32::NullIfInvalid(
      CreateFileW(ExactPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
}

// True when the first file holds the second's bytes: all of them, or with prefix its start.
bool HoldsBytesOf(HANDLE first, HANDLE second, bool prefix) {
  LARGE_INTEGER first_size{};
  LARGE_INTEGER second_size{};
  if (!GetFileSizeEx(first, &first_size) || !GetFileSizeEx(second, &second_size) ||
      (prefix ? first_size.QuadPart > second_size.QuadPart : first_size.QuadPart != second_size.QuadPart)) {
    return false;
  }
  constexpr DWORD kChunk = 1 << 16;
  std::vector<char> first_bytes(kChunk);
  std::vector<char> second_bytes(kChunk);
  for (LONGLONG left = first_size.QuadPart; left > 0;) {
    const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(left, kChunk));
    DWORD got_first = 0;
    DWORD got_second = 0;
    if (!ReadFile(first, first_bytes.data(), want, &got_first, nullptr) ||
        !ReadFile(second, second_bytes.data(), want, &got_second, nullptr) || got_first != want || got_second != want ||
        !std::equal(first_bytes.begin(), first_bytes.begin() + want, second_bytes.begin())) {
      return false;
    }
    left -= want;
  }
  return true;
}

// Only where the volume keeps named streams: elsewhere the stream's name would make a file of
// its own.
bool KeepsNamedStreams(const std::wstring& full_path) {
  std::wstring root(kLongPathChars, L'\0');
  DWORD volume_flags = 0;
  return GetVolumePathNameW(full_path.c_str(), root.data(), kLongPathChars) &&
         GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &volume_flags, nullptr, 0) &&
         (volume_flags & FILE_NAMED_STREAMS) != 0;
}

// The Internet zone, as a browser marks what it downloads.
bool WriteInternetMark(const std::wstring& exact_path) {
  const win32::UniqueHandle stream(
      win32::NullIfInvalid(CreateFileW((exact_path + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
  static constexpr char kZone[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
  DWORD written = 0;
  return stream && WriteFile(stream.get(), kZone, sizeof kZone - 1, &written, nullptr) && written == sizeof kZone - 1;
}

// Deletes the file at path while it holds the start of source's bytes. It is opened so that no
// other program can write to it meanwhile, and deleted through that very handle.
bool DiscardIfStartOf(const std::wstring& path, const std::wstring& source) {
  const win32::UniqueHandle leftover = OpenToRead(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
  const win32::UniqueHandle original = OpenToRead(source);
  if (!leftover || !original) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(leftover.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      !RunAside([&] { return HoldsBytesOf(leftover.get(), original.get(), true); })) {
    return false;
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  return SetFileInformationByHandle(leftover.get(), FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
}

// Large enough that a copy costs no more calls than the system's own; small enough that a
// cancel is seen within a fraction of a second on the slowest drive.
constexpr DWORD kCopyChunk = 1 << 20;

bool IsFolderAt(const std::wstring& exact_path) {
  const DWORD attributes = GetFileAttributesW(exact_path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32FolderSaver final : public FolderSaver {
 public:
  // The picked path as it stands: a full path would drop a dot at the end of the folder's name.
  explicit Win32FolderSaver(const std::wstring& folder) : folder_(ExactPath(folder)) {
    if (!folder_.ends_with(L'\\')) folder_ += L'\\';
    // Looked up once: every copy goes to the same volume.
    marks_ = KeepsNamedStreams(folder);
  }

  SaveResult SaveNew(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) override {
    return Copy(source, folder_ + std::wstring(name), progress);
  }

  SaveResult Replace(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) override {
    // A name of the program's own beside it, so that the final step is a rename on one volume.
    for (unsigned attempt = 1; attempt <= 100; ++attempt) {
      const std::wstring temporary = folder_ + L"~tallowmere-" + std::to_wstring(GetCurrentProcessId()) + L'-' +
                                     std::to_wstring(attempt) + L".tmp";
      const SaveResult copied = Copy(source, temporary, progress);
      if (copied.outcome == SaveOutcome::kNameTaken) continue;
      if (copied.outcome != SaveOutcome::kSaved) return copied;
      if (MoveFileExW(temporary.c_str(), (folder_ + std::wstring(name)).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return {SaveOutcome::kSaved};
      }
      const DWORD error = GetLastError();
      DeleteFileW(temporary.c_str());
      return {SaveOutcome::kFailed, error};
    }
    return {SaveOutcome::kFailed, ERROR_FILE_EXISTS};
  }

 private:
  // Copies source to target, which must be free; the copy keeps the source's last-write time.
  // Its own loop rather than the system's copy: it stops within a chunk when the user cancels
  // (the system's may not ask at all, as under Wine), and what it leaves unfinished it deletes
  // through its own handle, so that it never removes what another program made.
  SaveResult Copy(const std::wstring& source, const std::wstring& target, const CopyProgress& progress) {
    const std::wstring from = ExactPath(source);
    const win32::UniqueHandle in = OpenToRead(from);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!in || !GetFileInformationByHandle(in.get(), &info)) {
      const DWORD error = GetLastError();
      const DWORD attributes = GetFileAttributesW(from.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {SaveOutcome::kGone};
      } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {SaveOutcome::kFolder};
      }
      return {SaveOutcome::kFailed, error};
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {SaveOutcome::kFolder};
    const win32::UniqueHandle out(win32::NullIfInvalid(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                                                   CREATE_NEW, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
    if (!out) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || IsFolderAt(target)) {
        return {SaveOutcome::kNameTaken};
      }
      return {SaveOutcome::kFailed, error};
    }
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    buffer_.resize(kCopyChunk);
    uint64_t copied = 0;
    for (;;) {
      DWORD got = 0;
      DWORD put = 0;
      if (!ReadFile(in.get(), buffer_.data(), kCopyChunk, &got, nullptr)) return Abandon(out.get(), GetLastError());
      if (got == 0) break;
      if (!WriteFile(out.get(), buffer_.data(), got, &put, nullptr) || put != got) {
        return Abandon(out.get(), GetLastError());
      }
      copied += got;
      if (progress && !progress(copied, size)) return Abandon(out.get(), ERROR_CANCELLED);
    }
    if (!SetFileTime(out.get(), nullptr, nullptr, &info.ftLastWriteTime)) return Abandon(out.get(), GetLastError());
    if (marks_) WriteInternetMark(target);
    return {SaveOutcome::kSaved};
  }

  // Deletes the unfinished copy through the handle that wrote it.
  static SaveResult Abandon(HANDLE out, DWORD error) {
    FILE_DISPOSITION_INFO dispose{TRUE};
    SetFileInformationByHandle(out, FileDispositionInfo, &dispose, sizeof dispose);
    if (error == ERROR_CANCELLED) return {SaveOutcome::kCancelled};
    return {SaveOutcome::kFailed, error == ERROR_SUCCESS ? static_cast<DWORD>(ERROR_WRITE_FAULT) : error};
  }

  std::vector<char> buffer_;
  std::wstring folder_;
  bool marks_ = false;
};

}  // namespace

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
  const win32::UniqueHandle first = OpenToRead(a);
  const win32::UniqueHandle second = OpenToRead(b);
  return first && second && RunAside([&] { return HoldsBytesOf(first.get(), second.get(), false); });
}

bool Win32Platform::DiscardPartialCopy(const std::wstring& path, const std::wstring& source) {
  return DiscardIfStartOf(path, source);
}

std::unique_ptr<FolderSaver> Win32Platform::BeginSaving(const std::wstring& folder) {
  return std::make_unique<Win32FolderSaver>(folder);
}

bool Win32Platform::MarkFromInternet(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return false;
  const std::wstring exact = ExactPath(full);
  const DWORD attributes = GetFileAttributesW(exact.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  return KeepsNamedStreams(full) && WriteInternetMark(exact);
}

}  // namespace tallow

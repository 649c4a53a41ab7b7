#include "win32_test_support.h"

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

namespace tallow::testing {

std::wstring InternetCacheFolder() {
  Win32Platform platform;
  return platform.SpecialFolderPath(kCsidlInternetCache).value_or(L"");
}

std::wstring UniqueName(std::wstring_view prefix) {
  static std::atomic<unsigned> counter{0};
  return std::wstring(prefix) + std::to_wstring(GetCurrentProcessId()) + L'-' + std::to_wstring(++counter);
}

ScratchFolder::ScratchFolder(const std::wstring& parent) : path_(parent + L'\\' + UniqueName(L"tallow-test-")) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

bool WriteBytes(const std::wstring& path, std::string_view bytes, DWORD attributes) {
  const win32::UniqueHandle file(
      win32::NullIfInvalid(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr)));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  const win32::UniqueHandle file(win32::NullIfInvalid(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeFolder(const std::wstring& path, DWORD attributes) {
  return CreateDirectoryW(path.c_str(), nullptr) &&
         (attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesW(path.c_str(), attributes));
}

void RemoveTree(const std::wstring& path) {
  // The \\?\ form reaches folders nested deeper than MAX_PATH.
  const std::wstring full = path.starts_with(L"\\\\") ? path : L"\\\\?\\" + path;
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(full.c_str());
    return;
  }
  std::vector<std::wstring> entries;
  WIN32_FIND_DATAW data;
  {
    const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileW((full + L"\\*").c_str(), &data)));
    if (find) {
      do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") entries.push_back(full + L'\\' + data.cFileName);
      } while (FindNextFileW(find.get(), &data));
    }
  }
  for (const std::wstring& entry : entries) RemoveTree(entry);
  RemoveDirectoryW(full.c_str());
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

HWND FindDescendant(HWND parent, const wchar_t* window_class, std::optional<std::wstring_view> text) {
  struct Search {
    const wchar_t* window_class;
    std::optional<std::wstring_view> text;
    HWND found = nullptr;
  } search{window_class, text};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        wchar_t name[64];
        GetClassNameW(child, name, 64);
        if (lstrcmpiW(name, s.window_class) != 0 || (s.text && WindowText(child) != *s.text)) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

std::vector<HWND> OpenDialogs() {
  std::vector<HWND> dialogs;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t name[16];
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
            lstrcmpW(name, L"#32770") == 0) {
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

}  // namespace

DialogWatcher::DialogWatcher(Action act, std::chrono::milliseconds deadline)
    : act_(std::move(act)), thread_([this, end = std::chrono::steady_clock::now() + deadline] { Watch(end); }) {}

DialogWatcher::~DialogWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<std::wstring> DialogWatcher::Titles() const {
  std::lock_guard lock(mutex_);
  return titles_;
}

void DialogWatcher::Watch(std::chrono::steady_clock::time_point deadline) {
  std::vector<HWND> seen;
  // Buttons that close a dialog box without doing anything, tried in turn on a stubborn one.
  constexpr int kDismiss[] = {IDCANCEL, IDNO, IDOK};
  unsigned dismiss_round = 0;
  // What act did gets time to take effect before anything still open is closed.
  std::chrono::steady_clock::time_point dismiss_from = deadline;
  while (!stop_) {
    const auto now = std::chrono::steady_clock::now();
    for (HWND dialog : OpenDialogs()) {
      if (std::find(seen.begin(), seen.end(), dialog) == seen.end()) {
        seen.push_back(dialog);
        std::lock_guard lock(mutex_);
        titles_.push_back(WindowText(dialog));
      }
      if (!acted_ && now < deadline) {
        if (act_(dialog)) {
          acted_ = true;
          dismiss_from = std::min(deadline, now + std::chrono::seconds(2));
        }
      } else if (now >= dismiss_from) {
        PressButton(dialog, kDismiss[dismiss_round++ % std::size(kDismiss)]);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace tallow::testing

// The harness's side for real files and for dialogs that take more than OK: the folder picker
// and the shell's replace prompt.
#include <shlobj.h>
// The tree view's messages build on the shell headers' windows types.
#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "gui_harness.h"

namespace tallow::gui {

namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

std::vector<HWND> OpenDialogs() {
  std::vector<HWND> dialogs;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t name[16] = {};
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
            lstrcmpW(name, L"#32770") == 0) {
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring SelectedTreeItem(HWND dialog) {
  HWND tree = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, WC_TREEVIEWW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tree));
  wchar_t text[MAX_PATH] = {};
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  return item.hItem && TreeView_GetItem(tree, &item) ? text : L"";
}

}  // namespace

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring_view name = data.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L'\\' + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

DialogAnswerer::DialogAnswerer(std::vector<Answer> answers)
    : answers_(std::move(answers)), thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() { Stop(); }

DialogAnswerer::Answer DialogAnswerer::Press(int button) {
  return [button](HWND dialog) {
    PressButton(dialog, button);
    return true;
  };
}

DialogAnswerer::Answer DialogAnswerer::PickFolder(const std::wstring& folder) {
  return [folder](HWND dialog) {
    // The picker's own message for moving its selection; its tree fills a moment after it
    // shows, so the message is sent again until the folder is the selected item.
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    // A folder shows as its name; a drive root ("C:\\") as a label that holds "C:".
    const std::wstring selected = SelectedTreeItem(dialog);
    const bool root = folder.size() == 3 && folder.ends_with(L":\\");
    if (root ? selected.find(folder.substr(0, 2)) == std::wstring::npos
             : selected != folder.substr(folder.find_last_of(L'\\') + 1)) {
      return false;
    }
    PressButton(dialog, IDOK);
    return true;
  };
}

std::vector<SeenDialog> DialogAnswerer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return seen_;
}

void DialogAnswerer::Run() {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  std::vector<HWND> known;
  std::vector<HWND> closing;  // answered, on their way out
  // Buttons that close a dialog without doing anything, tried in turn on a stubborn one.
  constexpr int kDismiss[] = {IDCANCEL, IDNO, IDOK};
  unsigned dismiss_round = 0;
  size_t answered = 0;
  HWND current = nullptr;  // the dialog the next answer is for, until it takes it
  while (!stop_) {
    for (HWND dialog : OpenDialogs()) {
      if (std::find(known.begin(), known.end(), dialog) == known.end()) {
        known.push_back(dialog);
        seen_.push_back(ReadDialog(dialog));
        if (!current && answered < answers_.size()) current = dialog;
      }
      if (dialog == current && std::chrono::steady_clock::now() < deadline) {
        if (answers_[answered](dialog)) {
          ++answered;
          closing.push_back(dialog);
          current = nullptr;
        }
      } else if (dialog != current && std::find(closing.begin(), closing.end(), dialog) == closing.end()) {
        PressButton(dialog, kDismiss[dismiss_round++ % std::size(kDismiss)]);
      }
    }
    if (current && !IsWindow(current)) current = nullptr;
    if (current && std::chrono::steady_clock::now() >= deadline) {
      PressButton(current, IDCANCEL);
    }
    Sleep(50);
  }
}

}  // namespace tallow::gui

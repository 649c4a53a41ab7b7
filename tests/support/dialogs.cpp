#include "support/dialogs.h"

#include <shlobj.h>
// The tree view's messages build on the shell headers' windows types.
#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "platform/win32/handles.h"
#include "window/win32/control_adapters.h"

namespace tallow::testing {

namespace {

constexpr auto kDeadline = std::chrono::seconds(20);
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool IsMenu(HWND window) { return ClassOf(window) == kMenuClass; }

// The visible dialog boxes and popup menus of this process.
std::vector<HWND> OpenDialogsAndMenus() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
        const std::wstring name = ClassOf(window);
        if (name == kDialogClass || name == kMenuClass) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool SendKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    }
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

SeenDialog ReadDialog(HWND window) {
  SeenDialog seen;
  seen.title = WindowText(window);
  seen.owner = GetWindow(window, GW_OWNER);
  GetWindowRect(window, &seen.rect);
  if (IsMenu(window)) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      wchar_t item[64] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), item, 64, MF_BYPOSITION);
      seen.menu_items.emplace_back(item);
    }
    return seen;
  }
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != L"Static") continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else if (std::wstring text = WindowText(child); !text.empty()) {
      seen.text = text;
      seen.statics.push_back(std::move(text));
    }
  }
  return seen;
}

std::wstring SelectedTreeItem(HWND dialog) {
  HWND tree = FindDescendant(dialog, WC_TREEVIEWW);
  wchar_t text[MAX_PATH] = {};
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  return item.hItem && TreeView_GetItem(tree, &item) ? text : L"";
}

}  // namespace

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
        if (lstrcmpiW(ClassOf(child).c_str(), s.window_class) != 0 || (s.text && WindowText(child) != *s.text)) {
          return TRUE;
        }
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DialogWatcher::DialogWatcher(std::vector<Answer> answers) : answers_(std::move(answers)), thread_([this] { Run(); }) {}

DialogWatcher::~DialogWatcher() { Stop(); }

DialogWatcher::Answer DialogWatcher::Press(int button) {
  return [button](HWND dialog) {
    PressButton(dialog, button);
    return true;
  };
}

namespace {

// The item of a folder, found in its parent's listing: not every shell (Wine) parses a path of
// MAX_PATH characters and more, while the picker's own tree reaches such a folder that way.
win32::UniquePidl FolderItem(const std::wstring& folder) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct ComEnd {
    bool started;
    ~ComEnd() {
      if (started) CoUninitialize();
    }
  } end{SUCCEEDED(com)};
  const size_t slash = folder.rfind(L'\\');
  const win32::UniquePidl parent(ILCreateFromPathW(folder.substr(0, slash).c_str()));
  IShellFolder* raw = nullptr;
  if (!parent ||
      FAILED(SHBindToObject(nullptr, parent.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&raw)))) {
    return nullptr;
  }
  const win32::UniqueComPtr<IShellFolder> shell_folder(raw);
  IEnumIDList* raw_items = nullptr;
  if (shell_folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &raw_items) != S_OK) return nullptr;
  const win32::UniqueComPtr<IEnumIDList> items(raw_items);
  PITEMID_CHILD child = nullptr;
  while (items->Next(1, &child, nullptr) == S_OK) {
    const std::unique_ptr<ITEMID_CHILD, decltype(&CoTaskMemFree)> owned(child, &CoTaskMemFree);
    STRRET name{};
    if (FAILED(shell_folder->GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)) ||
        name.uType != STRRET_WSTR) {
      continue;
    }
    const bool found = folder.substr(slash + 1) == name.pOleStr;
    CoTaskMemFree(name.pOleStr);
    if (found) return win32::UniquePidl(ILCombine(parent.get(), child));
  }
  return nullptr;
}

}  // namespace

DialogWatcher::Answer DialogWatcher::PickFolder(const std::wstring& folder) {
  return [folder](HWND dialog) {
    // The picker's own message for moving its selection; its tree fills a moment after it
    // shows, so the message is sent again until the folder is the selected item.
    if (folder.size() < MAX_PATH) {
      SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    } else if (const win32::UniquePidl item = FolderItem(folder)) {
      SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item.get()));
    }
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

DialogWatcher::Answer DialogWatcher::ChooseMenuItem(HWND owner, int index) {
  return [owner, index](HWND) {
    if (index < 0) return PostMessageW(owner, WM_CANCELMODE, 0, 0) != FALSE;
    std::vector<WORD> keys(static_cast<size_t>(index) + 1, VK_DOWN);
    keys.push_back(VK_RETURN);
    return SendKeys(keys);
  };
}

std::vector<SeenDialog> DialogWatcher::Wait() {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!Answered() && std::chrono::steady_clock::now() < deadline) Sleep(20);
  return Stop();
}

std::vector<SeenDialog> DialogWatcher::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return seen_;
}

void DialogWatcher::Run() {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  std::vector<HWND> known;
  std::vector<HWND> closing;  // answered, on their way out
  // Buttons that close a dialog without doing anything, tried in turn on a stubborn one.
  constexpr int kDismiss[] = {IDCANCEL, IDNO, IDOK};
  unsigned dismiss_round = 0;
  HWND current = nullptr;  // the window the next answer is for, until it takes it
  while (!stop_) {
    const bool late = std::chrono::steady_clock::now() >= deadline;
    for (HWND window : OpenDialogsAndMenus()) {
      if (std::find(known.begin(), known.end(), window) == known.end()) {
        known.push_back(window);
        seen_.push_back(ReadDialog(window));
        if (!current && answered_ < answers_.size()) current = window;
      }
      if (window == current && !late) {
        if (answers_[answered_](window)) {
          ++answered_;
          closing.push_back(window);
          current = nullptr;
        }
      } else if (std::find(closing.begin(), closing.end(), window) == closing.end()) {
        if (IsMenu(window)) {
          SendKeys({VK_ESCAPE});
        } else {
          PressButton(window, kDismiss[dismiss_round++ % std::size(kDismiss)]);
        }
      }
    }
    // Gone before it took its answer: the answer is for the next one.
    if (current && !IsWindowVisible(current)) current = nullptr;
    Sleep(50);
  }
}

}  // namespace tallow::testing

// The harness's side for dialogs that take more than OK: the folder picker and the shell's
// replace prompt.
#include <shlobj.h>
// The tree view's messages build on the shell headers' windows types.
#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "gui_harness.h"

namespace tallow::gui {

namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

std::wstring SelectedTreeItem(HWND dialog) {
  HWND tree = testing::FindDescendant(dialog, WC_TREEVIEWW);
  wchar_t text[MAX_PATH] = {};
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  return item.hItem && TreeView_GetItem(tree, &item) ? text : L"";
}

}  // namespace

DialogAnswerer::DialogAnswerer(std::vector<Answer> answers)
    : answers_(std::move(answers)), thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() { Stop(); }

DialogAnswerer::Answer DialogAnswerer::Press(int button) {
  return [button](HWND dialog) {
    testing::PressButton(dialog, button);
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
    testing::PressButton(dialog, IDOK);
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
    for (HWND dialog : testing::OpenDialogs()) {
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
        testing::PressButton(dialog, kDismiss[dismiss_round++ % std::size(kDismiss)]);
      }
    }
    if (current && !IsWindow(current)) current = nullptr;
    if (current && std::chrono::steady_clock::now() >= deadline) {
      testing::PressButton(current, IDCANCEL);
    }
    Sleep(50);
  }
}

}  // namespace tallow::gui

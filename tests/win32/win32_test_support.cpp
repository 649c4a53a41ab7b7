#include "win32_test_support.h"

#include <algorithm>

#include "platform/win32/win32_platform.h"

namespace tallow::testing {

std::wstring InternetCacheFolder() {
  Win32Platform platform;
  return platform.SpecialFolderPath(kCsidlInternetCache).value_or(L"");
}

ScratchFolder::ScratchFolder(const std::wstring& parent) : path_(parent + L'\\' + UniqueName(L"tallow-test-")) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

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

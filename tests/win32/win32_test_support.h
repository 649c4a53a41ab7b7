// Folders of the test's own in the prefix's cache, and a watcher that answers the shell's
// dialogs, for the tests of the Windows layer; the helpers shared with the window's tests come
// from support.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/dialogs.h"
#include "support/files.h"

namespace tallow::testing {

// The prefix's Internet cache folder, where the scan looks; the tests make their files there.
std::wstring InternetCacheFolder();

// A folder of the test's own, with a name no other test or process uses, removed with all it
// holds when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& parent = InternetCacheFolder());
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::wstring& Path() const { return path_; }
  // The path of an entry inside the folder.
  std::wstring operator/(std::wstring_view name) const { return path_ + L'\\' + std::wstring(name); }

 private:
  std::wstring path_;
};

// Watches, on a thread of its own, for dialog boxes (window class #32770) of this process and
// hands each new one to act until act returns true. From the deadline on, and once act is done,
// it closes every dialog box still open, so that a test can never wait for one for ever.
class DialogWatcher {
 public:
  using Action = std::function<bool(HWND dialog)>;

  explicit DialogWatcher(Action act, std::chrono::milliseconds deadline = std::chrono::seconds(20));
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;
  ~DialogWatcher();

  bool Acted() const { return acted_; }
  // The titles of the dialog boxes seen so far, in order.
  std::vector<std::wstring> Titles() const;

 private:
  void Watch(std::chrono::steady_clock::time_point deadline);

  Action act_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> acted_{false};
  mutable std::mutex mutex_;
  std::vector<std::wstring> titles_;
  std::thread thread_;
};

}  // namespace tallow::testing

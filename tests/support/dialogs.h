// Reading and answering the dialog boxes and popup menus of this process, as a user would see
// and press them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tallow::testing {

// The first descendant of parent of the window class, whose text is text when text is given.
HWND FindDescendant(HWND parent, const wchar_t* window_class, std::optional<std::wstring_view> text = std::nullopt);
// Presses a dialog's button the way a click does.
void PressButton(HWND dialog, int id);

// What a watcher saw of one dialog box or popup menu.
struct SeenDialog {
  std::wstring title;
  std::wstring text;                  // the last static text of a dialog
  std::vector<std::wstring> statics;  // every static text of a dialog, in order
  std::vector<std::wstring> menu_items;
  HICON icon = nullptr;
  HWND owner = nullptr;
  RECT rect{};  // on the screen
};

// Watches, on a thread of its own, for the dialog boxes (#32770) and popup menus (#32768) of
// this process. It reads each one as it opens and gives them the answers in order, one each; an
// answer that returns false is asked again (a dialog that fills late). Any other dialog or menu,
// and every one from the deadline on, is closed as Cancel, No, OK or Esc would close it, so that
// a test can never wait for one for ever.
class DialogWatcher {
 public:
  using Answer = std::function<bool(HWND window)>;

  explicit DialogWatcher(std::vector<Answer> answers = {});
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  static Answer Press(int button);
  // Selects the folder in a folder picker as a click in its tree would, then presses OK.
  static Answer PickFolder(const std::wstring& folder);
  // On a popup menu: the item at index by the arrow keys and Enter, as a user picks it, or with
  // no index, closes the menu without a pick through its owner.
  static Answer ChooseMenuItem(HWND owner, int index = -1);

  // Whether every answer has been given by now.
  bool Answered() const { return answered_ == answers_.size(); }
  // Waits until every answer is given or the deadline passes, then stops.
  std::vector<SeenDialog> Wait();
  // Stops at once; meant for after whatever opened the dialogs has returned. Returns every
  // dialog and menu seen, in order.
  std::vector<SeenDialog> Stop();

 private:
  void Run();
  std::vector<Answer> answers_;
  std::vector<SeenDialog> seen_;
  std::atomic<size_t> answered_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tallow::testing

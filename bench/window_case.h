// The full window path: a hidden main window, an extension picked in its chooser, the scan
// filling the real names list box.
#pragma once

#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace tallow::bench {

class WindowCase {
 public:
  explicit WindowCase(Platform& platform);
  ~WindowCase();
  WindowCase(const WindowCase&) = delete;
  WindowCase& operator=(const WindowCase&) = delete;

  // False when the window could not be created.
  bool Available() const { return state_ != nullptr; }
  // Picks the extension in the chooser as a user's selection would, which runs one scan, and
  // returns the number of names the list box then holds. The pick must change the selection.
  int Pick(std::wstring_view extension);
  // Presses the search button: one scan with the extension picked last. Returns the number of
  // names the list box then holds.
  int Search();

 private:
  int Settled();
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tallow::bench

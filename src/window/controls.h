// The core's view of the window and of its controls other than the lists.
#pragma once

#include <string>
#include <string_view>

namespace tallow {

class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::wstring Text() const = 0;
  // Selects that many characters from the caret on, as far as the text goes.
  virtual void SetSelLength(int length) = 0;
  // What a screen reader announces for the box; nothing on screen changes.
  virtual void SetAccessibleName(std::wstring_view /*name*/) {}
};

class Button {
 public:
  virtual ~Button() = default;
  virtual void SetCaption(std::wstring_view caption) = 0;
};

// The main window itself.
class FormHost {
 public:
  virtual ~FormHost() = default;
  virtual void Show() = 0;
  // Above all other windows, without moving or resizing.
  virtual void KeepOnTop() = 0;
  // The popup menu with save, delete and delete all, at a point in the names list's client
  // coordinates; the chosen item arrives later as its own Click.
  virtual void ShowPopupMenu(int x, int y) = 0;
  // After a scan: the keys and clicks that came meanwhile were given to the list it replaced.
  virtual void DropPendingInput() {}
};

}  // namespace tallow

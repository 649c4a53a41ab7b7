// The ordered string list behind a list-like control of the window: the names list and the
// extension chooser.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow {

class StringList {
 public:
  virtual ~StringList() = default;

  virtual int Count() const = 0;
  // The entry at index, or the empty string when index is out of range.
  virtual std::wstring Item(int index) const = 0;
  virtual void Append(std::wstring_view text) = 0;
  // Appends many entries at once; a real control fills itself with redraw off.
  virtual void AppendMany(const std::vector<std::wstring_view>& items);
  virtual void Clear() = 0;

  // -1 when no entry is current.
  virtual int CurrentIndex() const = 0;
  virtual void SetCurrentIndex(int index) = 0;
  std::wstring CurrentText() const { return Item(CurrentIndex()); }

  // Control-level operations; a list that is not on screen ignores them.
  virtual void Focus() {}
  virtual void SetHorizontalExtent(int /*pixels*/) {}
  virtual void SetAccessibleName(std::wstring_view /*name*/) {}
};

}  // namespace tallow

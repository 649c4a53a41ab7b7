// The lists behind the window's list controls: the extension chooser's entries, and the names
// list, whose rows show the names of the last scan's listing.
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

  // -1 when no entry is current.
  virtual int CurrentIndex() const = 0;
  // Sets the current entry from code, which raises no Click of its own.
  virtual void SetCurrentIndex(int index) = 0;
  std::wstring CurrentText() const { return Item(CurrentIndex()); }

  // What a screen reader calls the list; drawing is not changed.
  virtual void SetAccessibleName(std::wstring_view /*name*/) {}
};

// The names list holds no text of its own: it shows as many rows as the listing has entries,
// and row i shows entry i's name. A full cache of 240,000 names costs it nothing to show.
class NamesList {
 public:
  virtual ~NamesList() = default;

  // Shows that many rows, none of them current.
  virtual void ShowRows(int count) = 0;
  virtual int Count() const = 0;
  // -1 when no row is current.
  virtual int CurrentIndex() const = 0;
  // The selected rows, first to last; the actions of the menu take these.
  virtual std::vector<int> SelectedRows() const {
    const int current = CurrentIndex();
    return current < 0 ? std::vector<int>() : std::vector<int>{current};
  }
  virtual void Focus() = 0;
  virtual void SetHorizontalExtent(int pixels) = 0;
  // What a screen reader calls the list; drawing is not changed.
  virtual void SetAccessibleName(std::wstring_view /*name*/) {}
};

}  // namespace tallow

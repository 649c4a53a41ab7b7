#include "lists/string_list.h"

#include <algorithm>

namespace tallow {

void StringList::AppendMany(std::vector<std::wstring>&& items) {
  for (const std::wstring& item : items) Append(item);
}

std::wstring MemoryStringList::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  return items_[static_cast<size_t>(index)];
}

void MemoryStringList::Append(std::wstring_view text) { items_.emplace_back(text); }

void MemoryStringList::AppendMany(std::vector<std::wstring>&& items) {
  if (items_.empty()) {
    items_ = std::move(items);
    return;
  }
  items_.insert(items_.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
}

bool MemoryStringList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return false;
  items_.erase(items_.begin() + index);
  // A list box moves its selection with the entries: the current entry keeps pointing at the
  // same text, and removing the current entry leaves none current.
  if (current_ == index) {
    current_ = -1;
  } else if (current_ > index) {
    --current_;
  }
  top_ = std::clamp(top_, 0, std::max(0, Count() - visible_rows_));
  return true;
}

void MemoryStringList::Clear() {
  items_.clear();
  current_ = -1;
  top_ = 0;
}

void MemoryStringList::SetCurrentIndex(int index) {
  if (index < -1 || index >= Count()) return;
  if (index == current_) return;
  current_ = index;
  RaiseClick();
}

void MemoryStringList::SetTopIndex(int index) {
  if (index < 0 || index >= Count()) return;
  top_ = std::min(index, std::max(0, Count() - visible_rows_));
}

void MemoryStringList::SetVisibleRows(int rows) {
  visible_rows_ = rows < 1 ? 1 : rows;
  top_ = std::clamp(top_, 0, std::max(0, Count() - visible_rows_));
}

}  // namespace tallow

#include "lists/result_lists.h"

#include <algorithm>
#include <climits>

namespace tallow {

void ResultLists::Show(CacheListing listing) {
  Clear();
  // Rows are drawn from the listing, so it is in place before the list shows any.
  listing_ = std::make_shared<const CacheListing>(std::move(listing));
  names_.ShowRows(static_cast<int>(std::min<size_t>(listing_->Count(), INT_MAX)));
  if (static_cast<size_t>(names_.Count()) != listing_->Count()) Clear();
}

void ResultLists::Clear() {
  names_.ShowRows(0);
  listing_ = std::make_shared<const CacheListing>();
}

std::wstring_view ResultLists::Name(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= listing_->Count()) return {};
  return listing_->Name(static_cast<size_t>(row));
}

std::optional<ListedEntry> ResultLists::Current() const {
  const int index = names_.CurrentIndex();
  if (index < 0 || static_cast<size_t>(index) >= listing_->Count()) return std::nullopt;
  return ListedEntry{listing_, static_cast<size_t>(index)};
}

ListedEntries ResultLists::Selected() const {
  ListedEntries selected{listing_, {}};
  for (const int row : names_.SelectedRows()) {
    if (row >= 0 && static_cast<size_t>(row) < listing_->Count()) selected.indices.push_back(static_cast<size_t>(row));
  }
  return selected;
}

std::optional<std::wstring> ResultLists::CurrentPath() const {
  const std::optional<ListedEntry> current = Current();
  if (!current) return std::nullopt;
  return current->listing->Path(current->index);
}

}  // namespace tallow

#include "lists/result_lists.h"

#include <algorithm>
#include <climits>

namespace tallow {

void ResultLists::Show(CacheListing listing) {
  Clear();
  // Rows are drawn from the listing, so it is in place before the list shows any.
  listing_ = std::move(listing);
  names_.ShowRows(static_cast<int>(std::min<size_t>(listing_.Count(), INT_MAX)));
  if (static_cast<size_t>(names_.Count()) != listing_.Count()) Clear();
}

void ResultLists::Clear() {
  names_.ShowRows(0);
  listing_ = CacheListing();
}

std::wstring_view ResultLists::Name(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= listing_.Count()) return {};
  return listing_.Name(static_cast<size_t>(row));
}

std::optional<std::wstring> ResultLists::CurrentPath() const {
  const int index = names_.CurrentIndex();
  if (index < 0 || static_cast<size_t>(index) >= listing_.Count()) return std::nullopt;
  return listing_.Path(static_cast<size_t>(index));
}

}  // namespace tallow

#include "lists/result_lists.h"

namespace tallow {

void ResultLists::Show(CacheListing listing) {
  Clear();
  names_.AppendMany(listing.Names());
  if (static_cast<size_t>(names_.Count()) != listing.Count()) {
    names_.Clear();
    return;
  }
  listing_ = std::move(listing);
}

void ResultLists::Clear() {
  names_.Clear();
  listing_ = CacheListing();
}

std::optional<std::wstring> ResultLists::CurrentPath() const {
  const int index = names_.CurrentIndex();
  if (index < 0 || static_cast<size_t>(index) >= listing_.Count()) return std::nullopt;
  return listing_.Path(static_cast<size_t>(index));
}

}  // namespace tallow

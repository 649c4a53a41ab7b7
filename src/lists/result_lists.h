// The result of the last scan as the user sees it: row i of the names list shows the name of
// the listing's entry i, so the path behind the highlighted name is always that of the entry
// at the list's current index. Nothing else is kept in step.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/cache_listing.h"
#include "lists/string_list.h"

namespace tallow {

// One entry of a listing, which stays as it is for as long as this is held.
struct ListedEntry {
  std::shared_ptr<const CacheListing> listing;
  size_t index = 0;
};

// Entries of one listing, first to last, which stays as it is for as long as this is held.
struct ListedEntries {
  std::shared_ptr<const CacheListing> listing;
  std::vector<size_t> indices;
};

class ResultLists {
 public:
  explicit ResultLists(NamesList& names) : names_(names) {}

  // Shows a listing in the names list, with no entry current. A list that cannot show every
  // name (a control out of memory) would point the actions, deletes included, at other files:
  // it then lists nothing.
  void Show(CacheListing listing);
  void Clear();
  void Focus() { names_.Focus(); }

  // The entry whose name is highlighted, and its path; nothing when no name is.
  std::optional<ListedEntry> Current() const;
  std::optional<std::wstring> CurrentPath() const;
  // The entries whose names are selected; none when no name is.
  ListedEntries Selected() const;
  // The name row i shows; empty beyond the listing.
  std::wstring_view Name(int row) const;
  // The listing as shown. Whoever holds it keeps it as it is, whatever is shown later.
  std::shared_ptr<const CacheListing> listing() const { return listing_; }

 private:
  NamesList& names_;
  std::shared_ptr<const CacheListing> listing_ = std::make_shared<const CacheListing>();
};

}  // namespace tallow

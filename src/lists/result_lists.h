// The result of the last scan as the user sees it: row i of the names list shows the name of
// the listing's entry i, so the path behind the highlighted name is always that of the entry
// at the list's current index. Nothing else is kept in step.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lists/string_list.h"
#include "search/cache_listing.h"

namespace tallow {

class ResultLists {
 public:
  explicit ResultLists(NamesList& names) : names_(names) {}

  // Shows a listing in the names list, with no entry current. A list that cannot show every
  // name (a control out of memory) would point the actions, deletes included, at other files:
  // it then lists nothing.
  void Show(CacheListing listing);
  void Clear();
  void Focus() { names_.Focus(); }

  // The path of the entry whose name is highlighted; nothing when no name is.
  std::optional<std::wstring> CurrentPath() const;
  // The name row i shows; empty beyond the listing.
  std::wstring_view Name(int row) const;
  const CacheListing& listing() const { return listing_; }

 private:
  NamesList& names_;
  CacheListing listing_;
};

}  // namespace tallow

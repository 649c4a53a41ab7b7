// The result of the last scan as the user sees it: the names list shows the name of every
// listed entry, index for index, so the path behind the highlighted name is always that of the
// entry at the list's current index. Nothing else is kept in step.
#pragma once

#include <optional>
#include <string>

#include "lists/string_list.h"
#include "search/cache_listing.h"

namespace tallow {

class ResultLists {
 public:
  explicit ResultLists(StringList& names) : names_(names) {}

  // Shows a listing in the names list, with no entry current. A list that cannot take every
  // name (a control out of memory) would point the actions, deletes included, at other files:
  // it then lists nothing.
  void Show(CacheListing listing);
  void Clear();
  void Focus() { names_.Focus(); }

  // The path of the entry whose name is highlighted; nothing when no name is.
  std::optional<std::wstring> CurrentPath() const;
  const CacheListing& listing() const { return listing_; }

 private:
  StringList& names_;
  CacheListing listing_;
};

}  // namespace tallow

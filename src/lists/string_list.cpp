#include "lists/string_list.h"

namespace tallow {

void StringList::AppendMany(const std::vector<std::wstring_view>& items) {
  for (std::wstring_view item : items) Append(item);
}

}  // namespace tallow

// Owners for the GDI and USER handles the window creates itself. Child windows are owned by
// their parent and are not wrapped.
#pragma once

#include <windows.h>

#include <memory>

namespace tallow {

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<HFONT__, FontDeleter>;

struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<HMENU__, MenuDeleter>;

}  // namespace tallow

// Names a control for screen readers without changing what it shows, through the system's
// annotation service. Where there is none (Wine answers E_NOTIMPL), nothing happens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tallow {

bool SetAccessibleName(HWND control, std::wstring_view name);
// Names a list box and each of its rows: a list box that draws its rows from data of its own
// has no text that a screen reader could read out.
using RowNames = std::function<std::wstring(int row)>;
bool SetAccessibleNames(HWND list, std::wstring_view name, RowNames rows);
// Before the control goes: the service keeps what it was given until told otherwise.
void ClearAccessibleName(HWND control);

}  // namespace tallow

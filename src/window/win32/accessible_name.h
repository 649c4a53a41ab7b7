// Names a control for screen readers without changing what it shows, through the system's
// annotation service. Where there is none (Wine answers E_NOTIMPL), nothing happens.
#pragma once

#include <windows.h>

#include <string_view>

namespace tallow {

bool SetAccessibleName(HWND control, std::wstring_view name);
// Before the control goes: the service keeps what it was given until told otherwise.
void ClearAccessibleName(HWND control);

}  // namespace tallow

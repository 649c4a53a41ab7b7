// Names a control for screen readers without changing what it shows, through the system's
// annotation service. Where there is none (Wine answers E_NOTIMPL), nothing happens.
#pragma once

#include <windows.h>
// The accessibility interfaces build on <windows.h>.
#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace tallow {

bool SetAccessibleName(HWND control, std::wstring_view name);
// Names a list box and each of its rows: a list box that draws its rows from data of its own
// has no text that a screen reader could read out. Rows count from 0; nullopt past the last.
// Descriptions, when given, are what a screen reader reads out after a row's name.
using RowNames = std::function<std::optional<std::wstring>(size_t row)>;
bool SetAccessibleNames(HWND list, std::wstring_view name, RowNames rows, RowNames descriptions = nullptr);
// The object that answers the service's questions about the list's name and its rows' names
// and descriptions; the service decodes which row each question is about.
win32::UniqueComPtr<IAccPropServer> MakeRowTextServer(win32::UniqueComPtr<IAccPropServices> services, std::wstring name,
                                                      RowNames rows, RowNames descriptions = nullptr);
// Before the control goes: the service keeps what it was given until told otherwise.
void ClearAccessibleName(HWND control);

}  // namespace tallow

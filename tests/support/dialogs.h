// Reading and answering the windows of this process, as a user would see and press them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::testing {

std::wstring WindowText(HWND window);
// The first descendant of parent of the window class, whose text is text when text is given.
HWND FindDescendant(HWND parent, const wchar_t* window_class, std::optional<std::wstring_view> text = std::nullopt);
// Presses a dialog's button the way a click does.
void PressButton(HWND dialog, int id);
// The visible dialog boxes (window class #32770) of this process.
std::vector<HWND> OpenDialogs();

}  // namespace tallow::testing

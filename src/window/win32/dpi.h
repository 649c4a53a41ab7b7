// Per-monitor DPI helpers. The per-window functions exist from Windows 10 1607 on; they are
// looked up at run time so that the program still starts on Windows 7 with the system DPI.
#pragma once

#include <windows.h>

namespace tallow {

int DpiForWindow(HWND hwnd);
int SystemMetricForDpi(int index, int dpi);
// The window size that gives this client size for the style, at the DPI.
SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style, int dpi);

}  // namespace tallow

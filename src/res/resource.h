// Resource, control and menu IDs, shared by the resource script and the window.
// Controls start at 1000 so that none collides with IDOK (1) to IDCLOSE-style IDs (up to 11):
// Enter and Esc must press nothing.
#pragma once

// Resources
#define IDI_TALLOWMERE 100

// Controls of Form1
#define IDC_FRAME1 1000
#define IDC_LIST1 1001
#define IDC_FRAME2 1002
#define IDC_TEXT1 1003
#define IDC_COMMAND3 1004
#define IDC_COMMAND2 1005
#define IDC_COMMAND1 1006
#define IDC_FRAME3 1007
#define IDC_COMBO1 1008

// The popup menu "menu" of the names list
#define IDM_COPYTO 40001
#define IDM_DEL 40002
#define IDM_DELALL 40003

// Keys of the window
#define IDM_REFRESH 40004

#include "gui_harness.h"
#include "res/resource.h"

namespace tallow::gui {
namespace {

using ComboTest = GuiTest;

TEST_F(ComboTest, DroppedListScansOnArrowKeysButNotOnMouseMoves) {
  HWND combo = Control(IDC_COMBO1);
  SetFocus(combo);
  ASSERT_TRUE(PressKey(VK_F4));
  ASSERT_TRUE(PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));

  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  RECT items{};
  GetWindowRect(info.hwndList, &items);
  for (int y = items.top + 4; y < items.bottom - 4; y += 6) {
    SetCursorPos(items.left + 10, y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof(move));
    PumpPending();
  }
  EXPECT_EQ(platform_.scans, 0);
  // The highlight follows the mouse, and an arrow key moves on from it.
  const int highlighted = window().combo1().CurrentIndex();

  ASSERT_TRUE(PressKey(VK_DOWN));
  EXPECT_EQ(platform_.scans, 1);
  EXPECT_EQ(window().combo1().CurrentIndex(), highlighted + 1);
  EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), 0);  // the scan moved the focus away
  EXPECT_EQ(GetFocus(), Control(IDC_LIST1));
}

TEST_F(ComboTest, EveryRealChangeScansOnce) {
  ASSERT_TRUE(PickByKeyboard(L".jpg"));
  EXPECT_EQ(platform_.scans, 3);

  // Picking the entry that is already current by keyboard: Up then Down is two changes.
  SetFocus(Control(IDC_COMBO1));
  ASSERT_TRUE(PressKey(VK_UP));
  SetFocus(Control(IDC_COMBO1));
  ASSERT_TRUE(PressKey(VK_DOWN));
  EXPECT_EQ(platform_.scans, 5);
  EXPECT_EQ(window().combo1().CurrentText(), L".jpg");
}

}  // namespace
}  // namespace tallow::gui

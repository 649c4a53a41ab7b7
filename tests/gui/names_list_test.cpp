#include "actions/delete_actions.h"
#include "file_actions_fixture.h"

namespace tallow::gui {
namespace {

// A cache with enough ".gif" files to scroll, picked by keyboard.
class NamesListTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(bucket_.AddFile(L"guiscroll-" + std::to_wstring(i) + L"[1].gif"));
    ASSERT_TRUE(PickByKeyboard(L".gif"));
    ASSERT_GE(names().Count(), 40);
    ASSERT_EQ(GetFocus(), list());
  }

  HWND list() const { return Control(IDC_LIST1); }
  NamesList& names() { return window().list1(); }
  NamesListBox& box() { return dynamic_cast<NamesListBox&>(names()); }
  std::wstring CurrentName() { return std::wstring(window().form().results().Name(names().CurrentIndex())); }

  // The actions' path is the one behind the highlighted name.
  void ExpectPathListOnHighlightedName() {
    const std::optional<std::wstring> path = window().form().CurrentPath();
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, ListedPaths()[static_cast<size_t>(names().CurrentIndex())]);
    EXPECT_TRUE(path->ends_with(L"\\" + CurrentName()));
  }

  TestBucket bucket_;
};

TEST_F(NamesListTest, KeysMoveThePathListAlong) {
  const int last = names().Count() - 1;
  struct Step {
    WORD key;
    int expected;
  };
  // Down from no entry lands on the first; PageDown moves a page of several entries.
  const Step steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_UP, 1}, {VK_END, last}, {VK_HOME, 0}};
  for (const Step& step : steps) {
    ASSERT_TRUE(PressKey(step.key));
    EXPECT_EQ(names().CurrentIndex(), step.expected) << "key " << step.key;
    ExpectPathListOnHighlightedName();
  }
  ASSERT_TRUE(PressKey(VK_NEXT));
  EXPECT_GT(names().CurrentIndex(), 1);
  ExpectPathListOnHighlightedName();

  // Typing a letter jumps to the next name that starts with it.
  ASSERT_TRUE(PressKey('G'));
  EXPECT_TRUE(CurrentName().starts_with(L"g") || CurrentName().starts_with(L"G"));
  ExpectPathListOnHighlightedName();
}

TEST_F(NamesListTest, ClicksSelectAsInExplorerAndARightClickKeepsOrReplacesTheSelection) {
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 3)));
  EXPECT_EQ(names().SelectedRows(), std::vector<int>{3});
  ExpectPathListOnHighlightedName();
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 6), false, VK_SHIFT));
  EXPECT_EQ(names().SelectedRows(), (std::vector<int>{3, 4, 5, 6}));
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 4), false, VK_CONTROL));
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 8), false, VK_CONTROL));
  EXPECT_EQ(names().SelectedRows(), (std::vector<int>{3, 5, 6, 8}));
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 6), false, VK_SHIFT));  // from the last Ctrl+click only
  EXPECT_EQ(names().SelectedRows(), (std::vector<int>{6, 7, 8}));
  {
    DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window())});
    ASSERT_TRUE(Click(list(), EntryPoint(list(), 7), /*right=*/true));
    EXPECT_EQ(watcher.Wait().size(), 1u);
  }
  EXPECT_EQ(names().SelectedRows(), (std::vector<int>{6, 7, 8}));
  EXPECT_EQ(names().CurrentIndex(), 7);

  // On a row outside the selection, the menu acts on that row alone.
  DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window())});
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 4), /*right=*/true));
  const std::vector<SeenDialog> menu = watcher.Wait();
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_EQ(menu[0].menu_items, (Strings{L"保存该项", L"删除该项", L"全部删除"}));
  EXPECT_EQ(names().SelectedRows(), std::vector<int>{4});
  ExpectPathListOnHighlightedName();
  EXPECT_EQ(platform_.scans, 1);
}

TEST_F(NamesListTest, EachRightClickOrMenuKeyShowsOneMenuAtItsRow) {
  {
    // Every menu is closed unpicked; a second one for the same click would be seen too.
    DialogWatcher menus({DialogWatcher::ChooseMenuItem(Window())});
    ASSERT_TRUE(Click(list(), EntryPoint(list(), 2), /*right=*/true));
    PumpPending();
    EXPECT_EQ(menus.Stop().size(), 1u);
  }
  ASSERT_TRUE(PressKey(VK_DOWN));
  ASSERT_EQ(names().CurrentIndex(), 3);
  for (const bool shift_f10 : {false, true}) {
    DialogWatcher menus({DialogWatcher::ChooseMenuItem(Window())});
    // The menu may take the key's release, so the press is done once the menu has been.
    ASSERT_TRUE(shift_f10 ? SendChord({VK_SHIFT, VK_F10}) : SendChord({VK_APPS}));
    ASSERT_TRUE(PumpUntil([&] { return menus.Answered(); })) << shift_f10;
    PumpPending();
    const std::vector<SeenDialog> seen = menus.Stop();
    ASSERT_EQ(seen.size(), 1u) << shift_f10;
    RECT row{};
    SendMessageW(list(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(list(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    EXPECT_GE(seen[0].rect.top, row.top) << shift_f10;
    EXPECT_LE(seen[0].rect.top, row.bottom + 1) << shift_f10;
  }
  EXPECT_EQ(names().CurrentIndex(), 3);
}

TEST_F(NamesListTest, ScrollingThenPagingKeepsThePathOnTheHighlightedName) {
  ASSERT_TRUE(Wheel(list(), 1));
  ASSERT_GT(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 0);

  // The scroll bar's lower arrow, just above the horizontal bar.
  RECT client{};
  GetClientRect(list(), &client);
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const LRESULT before = SendMessageW(list(), LB_GETTOPINDEX, 0, 0);
  ASSERT_TRUE(ClickUntil(list(), {client.right + arrow / 2, client.bottom - arrow / 2},
                         [&] { return SendMessageW(list(), LB_GETTOPINDEX, 0, 0) != before; }));
  EXPECT_FALSE(window().form().CurrentPath());  // scrolling highlights nothing

  ASSERT_TRUE(PressKey(VK_NEXT));  // with no entry current, the first page's end becomes current
  ASSERT_TRUE(PressKey(VK_NEXT));
  ExpectPathListOnHighlightedName();
}

// F5 scans again, as in any list of files. The texts kept for screen readers give each name as
// the list draws it, reversing characters written out, and its size after it.
TEST_F(NamesListTest, F5FindsANewFileWhoseRowTextsAreWrittenOut) {
  ASSERT_TRUE(bucket_.AddFile(L"guiscroll-\u202Eevil[1].gif", std::string(5000, 'x')));
  ASSERT_TRUE(PressKey(VK_F5));
  EXPECT_EQ(platform_.scans, 2);
  const Strings paths = ListedPaths();
  const auto row = static_cast<size_t>(
      std::find(paths.begin(), paths.end(), bucket_.path() + L"guiscroll-\u202Eevil[1].gif") - paths.begin());
  ASSERT_LT(row, paths.size());
  const auto& box = dynamic_cast<const NamesListBox&>(names());
  EXPECT_EQ(box.row_names()(row), L"guiscroll-<U+202E>evil[1].gif");
  EXPECT_NE(box.row_descriptions()(row).value_or(L"").find(L"\r\n大小：4.88 KB\r\n"), std::wstring::npos);
}

// A screen reader keeps what it learnt of the rows until the list says they changed, and follows
// the row that a typed letter focuses and selects.
TEST_F(NamesListTest, ScreenReadersHearOfEachScanAndOfTheRowATypedLetterSelects) {
  static HWND watched;
  static int announced;
  watched = list();
  announced = 0;
  const HWINEVENTHOOK hook = SetWinEventHook(
      EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, nullptr,
      [](HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
        if (hwnd == watched && object == OBJID_CLIENT && (child == CHILDID_SELF) == (event == EVENT_OBJECT_REORDER)) {
          announced |= 1 << (event - EVENT_OBJECT_REORDER);  // the rows changed, a row focused, a row selected
        }
      },
      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  SendMessageW(Control(IDC_COMMAND1), BM_CLICK, 0, 0);
  ASSERT_TRUE(PressKey('G'));
  PumpUntil([] { return announced == 7; });
  UnhookWinEvent(hook);
  EXPECT_EQ(announced, 7);
}

// A full cache's worth of names, far past the 65,535 rows a 16-bit field can name. The files are
// made and removed on the Linux side, at a fraction of the time through Wine.
class LongListTest : public NamesListTest {
 protected:
  static constexpr int kRows = 70002;
  void SetUp() override {
    GuiTest::SetUp();
    linux_bucket_ = testing::LinuxPath(bucket_.path());
    if (linux_bucket_.empty()) GTEST_SKIP() << "the files are made on the Linux side, under Wine";
    ASSERT_TRUE(testing::RunOnLinux(L"cd '" + linux_bucket_ + L"' && seq -f 'row%06g[1].gif' 1 " +
                                    std::to_wstring(kRows) + L" | xargs touch"));
    ASSERT_TRUE(PickByKeyboard(L".gif"));
    ASSERT_GE(names().Count(), kRows);
  }
  void TearDown() override {
    if (!linux_bucket_.empty()) testing::RunOnLinux(L"find '" + linux_bucket_ + L"' -name 'row*' -delete");
    GuiTest::TearDown();
  }
  // The tip of the row under the pointer, once it shows.
  std::wstring WaitForTip(int row, std::wstring_view starts) {
    HWND tip = window().InfoTip();
    POINT at = EntryPoint(list(), row);
    ClientToScreen(list(), &at);
    SetCursorPos(at.x, at.y);
    std::vector<wchar_t> text(4096);
    const auto shown = [&] {
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
      tool.lpszText = text.data();
      SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
      return IsWindowVisible(tip) && std::wstring_view(text.data()).starts_with(starts);
    };
    return PumpUntil(shown) ? text.data() : L"";
  }
  std::wstring linux_bucket_;
};

TEST_F(LongListTest, RightClickPastRow65535DeletesExactlyThatRowsFile) {
  constexpr int kRow = 70001;
  const std::vector<std::wstring> paths = ListedPaths();
  const std::wstring doomed = paths[kRow];
  const std::wstring namesake = paths[kRow - 65536];
  SendMessageW(list(), LB_SETTOPINDEX, kRow - 1, 0);
  DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window(), 1)});
  ASSERT_TRUE(Click(list(), EntryPoint(list(), kRow), /*right=*/true));
  ASSERT_EQ(watcher.Wait().size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return platform_.scans == 2; }));
  EXPECT_FALSE(testing::Exists(doomed));
  EXPECT_TRUE(testing::Exists(namesake));
  EXPECT_EQ(names().Count(), static_cast<int>(paths.size()) - 1);
}

TEST_F(LongListTest, KeysSelectionAndTheThumbReachPastRow65535) {
  // Every name starts with the letter: typing it moves one row on, wherever the caret is.
  for (const int from : {40000, 70000}) {
    box().SelectOnly(from);
    ASSERT_TRUE(PressKey('R'));
    EXPECT_EQ(names().SelectedRows(), std::vector<int>{from + 1});
  }
  ASSERT_TRUE(PressKey('A', VK_CONTROL));
  EXPECT_EQ(names().SelectedRows().size(), static_cast<size_t>(names().Count()));
  ASSERT_TRUE(PressKey(VK_DELETE));  // answered No: one question counting every row, nothing gone
  ASSERT_EQ(platform_.questions.size(), 1u);
  EXPECT_EQ(platform_.questions[0].text, DeleteSeveralText(static_cast<size_t>(names().Count())));
  EXPECT_EQ(platform_.scans, 1);
  ASSERT_TRUE(PressKey(VK_UP, VK_SHIFT));
  EXPECT_EQ(names().SelectedRows(), (std::vector<int>{70000, 70001}));
  ASSERT_TRUE(PressKey(VK_SPACE, VK_CONTROL));  // the focused row out, so none is current
  EXPECT_EQ(names().SelectedRows(), std::vector<int>{70001});
  EXPECT_EQ(names().CurrentIndex(), -1);
  // The thumb dragged to the bottom of its bar shows the last rows.
  SendMessageW(list(), LB_SETTOPINDEX, 0, 0);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(list(), OBJID_VSCROLL, &bar));
  const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  ASSERT_TRUE(
      Drag({x, bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2}, {x, bar.rcScrollBar.bottom + 5}));
  PumpUntil([&] { return SendMessageW(list(), LB_GETTOPINDEX, 0, 0) > kRows - 100; });
  EXPECT_GT(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), kRows - 100);
  // Sent by another program, with no drag under way: the position the message names.
  SendMessageW(list(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 123), 0);
  EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 123);
}

TEST_F(LongListTest, InfoTipTellsNamesakesPastRow65535ApartByWhereTheyLie) {
  // A namesake in the IE container, listed after every row of Content.IE5.
  const std::wstring content = TestBucket::ContentFolder();
  const std::wstring ie = content.substr(0, content.size() - std::wstring_view(L"Content.IE5\\").size()) + L"IE\\";
  const std::wstring bucket = bucket_.path().substr(content.size(), bucket_.path().size() - content.size() - 1);
  const bool made_ie = CreateDirectoryW(ie.c_str(), nullptr) != FALSE;
  const OwnedPath twin(ie + bucket), ie_folder(made_ie ? ie : twin.path);  // the container only if made here
  // A name as wide as two screens, whose tail would wrap into a line of its own making.
  const std::wstring forged = L"photo.gif " + std::wstring(120, L'W') + L" 位置：IE＼SAFE0001＼x.gif";
  ASSERT_TRUE(testing::MakeFolder(twin.path) && WriteBytes(twin.path + L"\\row070001[1].gif", "x") &&
              WriteBytes(twin.path + L"\\" + forged, "x"));
  SendMessageW(Control(IDC_COMMAND1), BM_CLICK, 0, 0);
  const Strings paths = ListedPaths();
  ASSERT_EQ(paths.size(), static_cast<size_t>(kRows) + 2);
  const auto row_of = [&](const std::wstring& path) {
    return static_cast<int>(std::find(paths.begin(), paths.end(), path) - paths.begin());
  };
  const int twin_row = row_of(twin.path + L"\\row070001[1].gif");
  ASSERT_GE(twin_row, kRows);
  const struct {
    int row;
    std::wstring_view starts;
  } hovered[] = {{twin_row, L"row070001[1].gif\r\n大小："},
                 {row_of(bucket_.path() + L"row070001[1].gif"), L"row070001[1].gif\r\n大小："},
                 {row_of(twin.path + L"\\" + forged), L"photo.gif W"}};
  std::vector<std::wstring> tips;
  std::vector<LONG> heights;
  for (const auto& [row, starts] : hovered) {
    SendMessageW(list(), LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
    tips.push_back(WaitForTip(row, starts));
    RECT rect{};
    GetWindowRect(window().InfoTip(), &rect);
    heights.push_back(rect.bottom - rect.top);
  }
  EXPECT_TRUE(tips[0].ends_with(L"\r\n位置：IE\\" + bucket)) << tips[0];
  EXPECT_TRUE(tips[1].ends_with(L"\r\n位置：Content.IE5\\" + bucket)) << tips[1];
  // The long name keeps to its line, shortened in the middle: four lines, as tall as the others.
  EXPECT_NE(tips[2].find(L"WWW…WWW"), std::wstring::npos) << tips[2];
  EXPECT_NE(tips[2].find(L" 位置：IE＼SAFE0001＼x.gif\r\n大小："), std::wstring::npos) << tips[2];
  EXPECT_EQ(std::ranges::count(tips[2], L'\n'), 3) << tips[2];
  EXPECT_EQ(heights[2], heights[0]);
}

}  // namespace
}  // namespace tallow::gui

#include "gui_harness.h"
#include "platform/file_names.h"
#include "res/resource.h"
#include "search/run_search.h"

namespace tallow::gui {
namespace {

using Strings = std::vector<std::wstring>;

RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Strings Entries(StringList& list) {
  Strings entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Item(i));
  return entries;
}

using MainWindowTest = GuiTest;

TEST_F(MainWindowTest, StartsEmptyOnTopWithTheBuiltInExtensions) {
  EXPECT_EQ(GetFocus(), Control(IDC_LIST1));
  EXPECT_EQ(SendMessageW(Control(IDC_LIST1), LB_GETCOUNT, 0, 0), 0);
  const Strings expected = {L".gif", L".bmp", L".jpg", L".swf", L".flv", L".mp3", L".wma", L".wav",
                            L".mid", L".rar", L".exe", L".zip", L".js",  L".css", L".htm", L".html"};
  EXPECT_EQ(Entries(window().combo1()), expected);
  EXPECT_EQ(SendMessageW(Control(IDC_COMBO1), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(WindowText(Control(IDC_TEXT1)), L".");
  EXPECT_EQ(WindowText(Control(IDC_COMMAND1)), L"查找");
  EXPECT_EQ(WindowText(Control(IDC_COMMAND2)), L"使用说明");
  EXPECT_EQ(WindowText(Control(IDC_COMMAND3)), L"自定义");
  EXPECT_EQ(WindowText(Window()), L"Tallowmere -- by:Quistemar");
  EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(platform_.scans, 0);
  EXPECT_TRUE(platform_.messages.empty());

  // The hidden lists are no windows of their own: nothing else on the form is a list box.
  int list_boxes = 0;
  for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (std::wstring_view(name) == L"ListBox" || std::wstring_view(name) == L"LISTBOX") ++list_boxes;
  }
  EXPECT_EQ(list_boxes, 1);

  // A fixed frame: no sizing border, no maximize box, no menu bar.
  const LONG style = GetWindowLongW(Window(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_EQ(GetMenu(Window()), nullptr);
  EXPECT_EQ(FindWindowExW(Control(IDC_COMBO1), nullptr, L"Edit", nullptr), nullptr);  // nothing to type in
  EXPECT_EQ(GetWindowLongW(Control(IDC_COMBO1), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
}

TEST_F(MainWindowTest, ControlsSitWhereTheTablePutsThemAt96Dpi) {
  ASSERT_EQ(window().dpi(), 96) << "the prefix is expected to run at 96 DPI";
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 404);   // 6060 twips
  EXPECT_EQ(client.bottom, 190);  // 2850 twips
  struct Expected {
    int id;
    RECT rect;  // left, top, right, bottom in pixels, 15 twips each
  };
  const Expected expected[] = {
      {IDC_FRAME1, {0, 0, 404, 161}},      {IDC_LIST1, {3, 9, 400, 157}},        {IDC_FRAME2, {243, 157, 315, 190}},
      {IDC_TEXT1, {245, 165, 310, 187}},   {IDC_COMMAND3, {163, 164, 238, 187}}, {IDC_COMMAND2, {3, 164, 78, 187}},
      {IDC_COMMAND1, {83, 164, 158, 187}}, {IDC_FRAME3, {315, 157, 403, 192}},   {IDC_COMBO1, {319, 168, 400, 188}},
  };
  for (const Expected& e : expected) {
    const RECT actual = ClientRectOf(Control(e.id));
    EXPECT_EQ(actual.left, e.rect.left) << "control " << e.id;
    EXPECT_EQ(actual.top, e.rect.top) << "control " << e.id;
    EXPECT_EQ(actual.right, e.rect.right) << "control " << e.id;
    EXPECT_EQ(actual.bottom, e.rect.bottom) << "control " << e.id;
  }
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

TEST_F(MainWindowTest, AMoveToAnotherDisplayScalesLayoutFontsAndExtent) {
  const LOGFONTW text1 = FontOf(Control(IDC_TEXT1));
  EXPECT_EQ(std::wstring(text1.lfFaceName), L"宋体");
  EXPECT_EQ(text1.lfHeight, -14);  // 10.5 pt
  EXPECT_EQ(text1.lfWeight, FW_BOLD);
  EXPECT_EQ(text1.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(FontOf(Control(IDC_LIST1)).lfHeight, -12);  // 9 pt
  EXPECT_EQ(SendMessageW(Control(IDC_LIST1), LB_GETHORIZONTALEXTENT, 0, 0), 500);

  // What Windows sends when the window lands on a display of 144 DPI: the window takes the
  // rectangle it suggests, whatever its own frame measures there.
  RECT window_rect{};
  GetWindowRect(Window(), &window_rect);
  RECT suggested = {window_rect.left + 20, window_rect.top + 10, window_rect.left + 640, window_rect.top + 350};
  SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  GetWindowRect(Window(), &window_rect);
  EXPECT_TRUE(EqualRect(&window_rect, &suggested));
  const RECT list1 = ClientRectOf(Control(IDC_LIST1));
  EXPECT_EQ(list1.left, 4);
  EXPECT_EQ(list1.top, 14);
  EXPECT_EQ(list1.right, 600);
  EXPECT_EQ(list1.bottom, 236);
  const RECT combo1 = ClientRectOf(Control(IDC_COMBO1));
  EXPECT_EQ(combo1.left, 478);
  EXPECT_EQ(combo1.top, 252);
  EXPECT_EQ(combo1.right, 600);
  EXPECT_EQ(combo1.bottom, 282);
  EXPECT_EQ(FontOf(Control(IDC_TEXT1)).lfHeight, -21);
  EXPECT_EQ(FontOf(Control(IDC_COMMAND1)).lfHeight, -18);
  EXPECT_EQ(SendMessageW(Control(IDC_LIST1), LB_GETHORIZONTALEXTENT, 0, 0), 750);
}

TEST_F(MainWindowTest, TabWalksTheControlsInTheirOrder) {
  const int order[] = {IDC_COMMAND1, IDC_COMMAND2, IDC_COMBO1, IDC_COMMAND3, IDC_TEXT1, IDC_LIST1, IDC_COMMAND1};
  ASSERT_EQ(GetFocus(), Control(IDC_LIST1));
  for (int id : order) {
    ASSERT_TRUE(PressKey(VK_TAB));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
  ASSERT_TRUE(PressKey(VK_TAB, VK_SHIFT));
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_LIST1);
}

TEST_F(MainWindowTest, EnterAndEscapePressNothing) {
  for (int id : {IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3, IDC_LIST1, IDC_TEXT1}) {
    SetFocus(Control(id));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(PressKey(VK_ESCAPE));
  }
  EXPECT_EQ(platform_.scans, 0);
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_TRUE(IsWindow(Window()));
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(window().combo1().Count(), 16);  // Command3 did not run either
}

TEST_F(MainWindowTest, PickingGifByKeyboardScansOnceAndListsTheFiles) {
  TestBucket bucket;
  for (const wchar_t* name : {L"guitest-a[1].gif", L"标志guitest[1].gif", L"guitest-b[1].GIF", L"风景guitest[1].jpg",
                              L"guitest-c[1].gif.tmp"}) {
    ASSERT_TRUE(bucket.AddFile(name));
  }
  SetFocus(Control(IDC_COMBO1));
  ASSERT_TRUE(PressKey(VK_DOWN));

  EXPECT_EQ(platform_.scans, 1);
  EXPECT_EQ(window().combo1().CurrentText(), L".gif");
  EXPECT_EQ(GetFocus(), Control(IDC_LIST1));
  EXPECT_TRUE(platform_.messages.empty());

  Strings expected;  // in the order the file system lists them, matched case-sensitively
  for (const std::wstring& name : bucket.Listing()) {
    if ((bucket.path() + name).find(L".gif") != std::wstring::npos) expected.push_back(bucket.path() + name);
  }
  ASSERT_EQ(expected.size(), 3u);
  Strings mine;
  Strings names;  // as the rows show them
  for (int row = 0; row < window().list1().Count(); ++row) names.emplace_back(window().form().results().Name(row));
  const Strings paths = ListedPaths();
  ASSERT_EQ(names.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(names[i], NamePart(paths[i]));
    if (paths[i].starts_with(bucket.path())) mine.push_back(paths[i]);
  }
  EXPECT_EQ(mine, expected);
  EXPECT_EQ(window().list1().CurrentIndex(), -1);
}

TEST_F(MainWindowTest, SearchWithoutAnExtensionShowsTheReminder) {
  platform_.real_message_boxes = true;
  DialogWatcher watcher({DialogWatcher::Press(IDOK)});
  SendMessageW(Control(IDC_COMMAND1), BM_CLICK, 0, 0);
  const std::vector<SeenDialog> seen = watcher.Wait();

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, L"提醒 —— Quistemar");
  EXPECT_EQ(seen[0].text, L"请选择完整后缀名，如：.flv        ");
  EXPECT_EQ(seen[0].icon, LoadIconW(nullptr, IDI_INFORMATION));
  EXPECT_EQ(platform_.scans, 0);  // nothing to look for: the cache is not read
  EXPECT_EQ(window().list1().Count(), 0);
  EXPECT_TRUE(IsWindow(Window()));
}

}  // namespace
}  // namespace tallow::gui

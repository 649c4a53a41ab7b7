// The main window's event handlers, one per control event, written against the core's
// interfaces so that they run the same on the real window and in the tests.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "lists/result_lists.h"
#include "lists/string_list.h"
#include "platform/platform.h"
#include "window/controls.h"

namespace tallow {

inline constexpr std::array<std::wstring_view, 16> kBuiltInExtensions = {
    L".gif", L".bmp", L".jpg", L".swf", L".flv", L".mp3", L".wma", L".wav",
    L".mid", L".rar", L".exe", L".zip", L".js",  L".css", L".htm", L".html"};

inline constexpr std::wstring_view kSearchCaption = L"查找";
inline constexpr std::wstring_view kHelpCaption = L"使用说明";
inline constexpr std::wstring_view kEnterExtensionText = L"请输入完整后缀名，如：.wma        ";
inline constexpr std::wstring_view kHelpTitle = L"使用说明  -- Quistemar";
inline constexpr std::wstring_view kHelpText =
    L"双击选中,以系统默认程序御览.鼠标右键单击选中,保存!\r\n\r\n"
    L"在文本框输入自定义(如：wmv)，即可查找本工具没有添加的查找资源!";
inline constexpr int kNamesListExtent = 500;
// What a screen reader announces for the controls that have no caption of their own.
inline constexpr std::wstring_view kList1AccessibleName = L"缓存文件";
inline constexpr std::wstring_view kCombo1AccessibleName = L"文件类型";
inline constexpr std::wstring_view kText1AccessibleName = L"自定义后缀";

struct Form1Controls {
  NamesList& list1;    // file names
  StringList& combo1;  // extensions
  TextBox& text1;      // custom extension
  Button& command1;    // search
  Button& command2;    // instructions
};

class Form1 {
 public:
  Form1(Platform& platform, FormHost& host, const Form1Controls& controls);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  void OnLoad();
  void OnCommand1Click();  // the scan; the other handlers that need one call it
  // The chooser reports every pick, also of the entry that was already current; only a real
  // change of entry scans.
  void OnCombo1Click();
  void OnCommand3Click();
  void OnText1Change();
  void OnCommand2Click();
  void OnList1DblClick();
  void OnList1MouseUp(int button, int x, int y);
  // The menu key or Shift+F10, with the point of the highlighted row.
  void OnList1ContextMenu(int x, int y);
  void OnCopytoClick();
  // The menu's delete: the selected files.
  void OnDelClick();
  void OnDelallClick();
  // The Delete key on the names list: the selected files, as the menu's delete removes them, but
  // only once the user has confirmed; a key is pressed by mistake more easily than a menu item.
  void OnList1DeleteKey();

  // The path of the file behind the highlighted name, which every action acts on.
  std::optional<std::wstring> CurrentPath() const { return results_.CurrentPath(); }
  // True while an action waits on the user or works: a question, a progress dialog, the
  // shell's dialogs. Messages are still served meanwhile, also those another program sends;
  // a scan or action asked for then is ignored, so nothing changes what the user confirmed.
  bool busy() const { return busy_; }
  // What the names list shows: the last scan's listing, row by row.
  const ResultLists& results() const { return results_; }

 private:
  // Runs action unless another one is under way.
  template <typename Action>
  void Exclusively(Action&& action);
  void Search();
  // Deletes exactly those entries, scans again, then tells what could not go.
  void DeleteThenSearch(ListedEntries doomed);

  Platform& platform_;
  FormHost& host_;
  Form1Controls c_;
  ResultLists results_;
  int combo1_index_ = -1;  // the chooser's entry at the last scan
  bool busy_ = false;
};

}  // namespace tallow

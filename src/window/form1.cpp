#include "window/form1.h"

#include "actions/file_actions.h"
#include "lists/result_lists.h"

namespace tallow {

Form1::Form1(Platform& platform, FormHost& host, const Form1Controls& controls)
    : platform_(platform), host_(host), c_(controls) {
  c_.list1.SetClickHandler([this] { OnList1Click(); });
  c_.list3.SetClickHandler([this] { OnList3Click(); });
  c_.combo1.SetClickHandler([this] { OnCombo1Click(); });
}

void Form1::OnLoad() {
  host_.Show();
  c_.list1.Focus();
  c_.list3.SetHorizontalExtent(kPathListExtent);
  c_.list1.SetHorizontalExtent(kNamesListExtent);
  for (std::wstring_view extension : kBuiltInExtensions) c_.combo1.Append(extension);
  c_.list2.SetVisible(false);
  c_.list3.SetVisible(false);
  c_.command1.SetCaption(kSearchCaption);
  c_.command2.SetCaption(kHelpCaption);
  host_.KeepOnTop();
}

void Form1::OnCommand1Click() { RunSearch(platform_, {c_.list1, c_.list2, c_.list3, c_.combo1}); }

void Form1::OnCombo1Click() { OnCommand1Click(); }

void Form1::OnCommand3Click() {
  const std::wstring text = c_.text1.Text();
  if (text == L"." || text == L"..") {
    platform_.ShowMessage(std::wstring(kEnterExtensionText), std::wstring(kReminderTitle), MessageIcon::kInformation);
    return;
  }
  // Making the new entry current raises Combo1's Click, which runs the one scan.
  c_.combo1.Append(text);
  c_.combo1.SetCurrentIndex(c_.combo1.Count() - 1);
}

void Form1::OnText1Change() { c_.text1.SetSelLength(1); }

void Form1::OnCommand2Click() {
  c_.list1.Focus();
  platform_.ShowMessage(std::wstring(kHelpText), std::wstring(kHelpTitle), MessageIcon::kInformation);
}

void Form1::OnList1Click() { FollowNames(c_.list1, c_.list3); }

void Form1::OnList3Click() { FollowPaths(c_.list3, c_.list1); }

void Form1::OnList1Scroll() { FollowScroll(c_.list1, c_.list3); }

void Form1::OnList1DblClick() { OpenCurrent(platform_, c_.list3); }

void Form1::OnList1MouseUp(int button, int x, int y) {
  if (WantsPopupMenu(c_.list1, button)) host_.ShowPopupMenu(x, y);
}

void Form1::OnCopytoClick() { SaveCurrent(platform_, c_.list3); }

void Form1::OnDelClick() {
  DeleteCurrent(platform_, c_.list3);
  OnCommand1Click();
}

void Form1::OnDelallClick() {
  DeleteAll(platform_, c_.list3);
  OnCommand1Click();
}

}  // namespace tallow

#include "window/form1.h"

#include <gtest/gtest.h>

#include <numeric>

#include "actions/open_listed.h"
#include "actions/save_actions.h"
#include "core/form1_fixture.h"

namespace tallow {
namespace {

using testing::Form1Test;
using Strings = std::vector<std::wstring>;

TEST_F(Form1Test, StartUpFillsTheChooserAndSelectsNothing) {
  EXPECT_TRUE(host_.shown);
  EXPECT_TRUE(host_.on_top);
  ASSERT_EQ(combo1_.Count(), 16);
  EXPECT_EQ(combo1_.Item(0), L".gif");
  EXPECT_EQ(combo1_.Item(15), L".html");
  EXPECT_EQ(combo1_.CurrentIndex(), -1);
  EXPECT_EQ(list1_.Count(), 0);
  EXPECT_EQ(command1_.caption, L"查找");
  EXPECT_EQ(command2_.caption, L"使用说明");
  EXPECT_TRUE(fake_.messages.empty());  // no scan at start-up
  EXPECT_EQ(list1_.accessible_name, L"缓存文件");
  EXPECT_EQ(combo1_.accessible_name, L"文件类型");
  EXPECT_EQ(text1_.accessible_name, L"自定义后缀");
}

TEST_F(Form1Test, PickingAnExtensionScansAtOnce) {
  Pick(L".gif");
  EXPECT_EQ(Names(), (Strings{L"one[1].gif", L"two[1].gif", L"four[1].gif", L"locked[1].gif"}));
  Pick(L".gif");  // the same entry again changes nothing and scans nothing
  form_.OnCommand1Click();
  EXPECT_EQ(list1_.Count(), 4);
}

TEST_F(Form1Test, PopupOnlyForRightButtonWithACurrentEntry) {
  Pick(L".gif");
  form_.OnList1MouseUp(2, 5, 6);
  form_.OnList1ContextMenu(5, 6);
  EXPECT_TRUE(host_.popups.empty());
  list1_.Pick(0);
  form_.OnList1MouseUp(1, 5, 6);
  form_.OnList1MouseUp(4, 5, 6);
  EXPECT_TRUE(host_.popups.empty());
  form_.OnList1MouseUp(2, 5, 6);
  form_.OnList1ContextMenu(7, 8);
  ASSERT_EQ(host_.popups.size(), 2u);
  EXPECT_EQ(host_.popups[0], std::make_pair(5, 6));
  EXPECT_EQ(host_.popups[1], std::make_pair(7, 8));
  EXPECT_EQ(list1_.CurrentIndex(), 0);
}

TEST_F(Form1Test, DoubleClickOpensTheHighlightedFileOnly) {
  Pick(L".gif");
  form_.OnList1DblClick();
  EXPECT_TRUE(fake_.opened.empty());  // nothing current: nothing opened
  list1_.Pick(1);
  form_.OnList1DblClick();
  EXPECT_EQ(fake_.opened, (Strings{a_ + L"two[1].gif"}));
  EXPECT_EQ(list1_.Count(), 4);
}

TEST_F(Form1Test, OpeningWhatAsksBeforeOpeningAsksFirstByTheNamesOwnType) {
  for (auto n : {L"anim.gif.exe", L"run.gif.CMD. ", L"doc.gif.pdf", L"safe.gif.txt", L"trail.gif."}) {
    fake_.AddFile(a_, n);
  }
  fake_.dangerous_types = {L".pdf"};  // what the system itself calls unsafe counts too
  fake_.shell_paths[a_ + L"trail.gif."] = std::nullopt;
  Pick(L".gif");
  for (auto n : {L"anim.gif.exe", L"run.gif.CMD. ", L"doc.gif.pdf", L"trail.gif."}) {
    Select(n);
    form_.OnList1DblClick();  // answered No; the last one the shell cannot name at all
  }
  EXPECT_TRUE(fake_.opened.empty());
  ASSERT_EQ(fake_.questions.size(), 3u);
  EXPECT_EQ(fake_.questions[0].text, OpenWarningText(L"anim.gif.exe", OpenCaution::kCodeType, L"viewer.exe"));
  EXPECT_EQ(fake_.questions[0].title, L"提醒 —— Quistemar");

  fake_.answer_yes = true;
  Select(L"anim.gif.exe");
  form_.OnList1DblClick();
  Select(L"safe.gif.txt");
  form_.OnList1DblClick();  // opened without a question
  EXPECT_EQ(fake_.opened, (Strings{a_ + L"anim.gif.exe", a_ + L"safe.gif.txt"}));
  EXPECT_EQ(fake_.questions.size(), 4u);
}

TEST_F(Form1Test, SaveCopiesOnlyFilesTheShellCanName) {
  fake_.AddSubfolder(a_, L"sub.gif");
  fake_.AddFile(a_, L"trail.gif.");
  fake_.AddFile(a_, L"space.gif ");
  fake_.shell_paths[a_ + L"trail.gif."] = std::nullopt;
  fake_.shell_paths[a_ + L"space.gif "] = a_ + L"SPACE~1.GIF";
  fake_.picked_folder = L"D:\\pics";
  text1_.text = L"AAAA0000";  // every entry of the bucket, "." and ".." too
  form_.OnCommand3Click();
  for (auto n : {L".", L"..", L"sub.gif", L"trail.gif."}) {
    Select(n);
    form_.OnCopytoClick();
  }
  EXPECT_TRUE(fake_.picker_titles.empty());
  EXPECT_TRUE(fake_.copies.empty());
  EXPECT_TRUE(fake_.messages.empty());

  // Reached by its other name, saved under the name the shell would give it anyway.
  Select(L"space.gif ");
  form_.OnCopytoClick();
  ASSERT_EQ(fake_.copies.size(), 1u);
  EXPECT_EQ(fake_.copies[0].from, a_ + L"SPACE~1.GIF");
  EXPECT_EQ(fake_.copies[0].to, L"D:\\pics\\space.gif");
  EXPECT_EQ(fake_.marked, (Strings{L"D:\\pics\\space.gif"}));
  EXPECT_EQ(fake_.messages.size(), 1u);
}

TEST_F(Form1Test, SaveAsksForAFolderAndReportsOnlyRealSuccess) {
  Pick(L".gif");
  form_.OnCopytoClick();
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_EQ(fake_.messages[0].text, L"请先选定文件，然后保存！");
  EXPECT_EQ(fake_.messages[0].title, L"提示……");
  EXPECT_EQ(fake_.messages[0].icon, MessageIcon::kExclamation);
  EXPECT_TRUE(fake_.picker_titles.empty());

  list1_.Pick(0);
  form_.OnCopytoClick();  // the user cancels the picker
  EXPECT_EQ(fake_.picker_titles, (Strings{L"选择保存路径"}));
  EXPECT_TRUE(fake_.copies.empty());

  fake_.picked_folder = L"D:\\pics";
  form_.OnCopytoClick();
  ASSERT_EQ(fake_.copies.size(), 1u);
  EXPECT_EQ(fake_.copies[0].from, a_ + L"one[1].gif");
  EXPECT_EQ(fake_.copies[0].to, L"D:\\pics\\one[1].gif");
  EXPECT_EQ(fake_.copies[0].function, 2u);
  EXPECT_EQ(fake_.copies[0].flags, 0x40u);
  ASSERT_EQ(fake_.messages.size(), 2u);
  EXPECT_EQ(fake_.messages[1].text, L"保存   one[1].gif   成功");
  EXPECT_EQ(fake_.messages[1].title, L"恭喜");
  EXPECT_EQ(fake_.messages[1].icon, MessageIcon::kInformation);
  EXPECT_EQ(fake_.marked, (Strings{L"D:\\pics\\one[1].gif"}));  // the copy carries its origin

  fake_.picked_folder = L"D:\\";
  form_.OnCopytoClick();
  EXPECT_EQ(fake_.copies.back().to, L"D:\\\\one[1].gif");

  // Another program's file came meanwhile and the user kept it in the shell's prompt; then the
  // shell fails: no success, and what is left there is only removed where it is the copy's.
  fake_.picked_folder = L"F:\\";
  fake_.copy_aborted = true;
  form_.OnCopytoClick();
  fake_.copy_aborted = false;
  fake_.copy_result = 0x75;
  form_.OnCopytoClick();
  EXPECT_EQ(fake_.messages.size(), 3u);
  EXPECT_EQ(fake_.marked, (Strings{L"D:\\pics\\one[1].gif", L"D:\\one[1].gif"}));
  EXPECT_EQ(fake_.discarded, (Strings{L"F:\\one[1].gif", L"F:\\one[1].gif"}));

  // A file already there: the program asks, and No keeps it; Yes replaces it, not through the
  // shell, whose replace writes over the file in place.
  fake_.picked_folder = L"D:\\";
  fake_.copy_result = 0;
  fake_.copied_from[L"D:\\one[1].gif"] = L"other bytes";
  form_.OnCopytoClick();
  ASSERT_EQ(fake_.questions.size(), 1u);
  EXPECT_EQ(fake_.questions[0].text, L"目标文件夹中已有同名文件：\r\none[1].gif\r\n\r\n要用缓存中的这个文件替换它吗？");
  EXPECT_EQ(fake_.copied_from[L"D:\\one[1].gif"], L"other bytes");
  fake_.answer_yes = true;
  form_.OnCopytoClick();
  EXPECT_EQ(fake_.copied_from[L"D:\\one[1].gif"], a_ + L"one[1].gif");
  EXPECT_EQ(fake_.messages.size(), 4u);
  EXPECT_EQ(fake_.copies.size(), 4u);
  // The shell reports success but wrote nothing there: no success.
  fake_.picked_folder = L"G:\\";
  fake_.copy_writes = false;
  form_.OnCopytoClick();
  EXPECT_EQ(fake_.messages.size(), 4u);
  // A folder of the file's name: the shell would copy into it, so nothing is copied at all.
  fake_.copy_writes = true;
  fake_.picked_folder = L"C:\\Cache";
  fake_.AddSubfolder(L"C:\\Cache", L"one[1].gif");
  form_.OnCopytoClick();
  EXPECT_EQ(fake_.copies.size(), 5u);
  EXPECT_EQ(fake_.messages.size(), 4u);
  EXPECT_EQ(fake_.marked.size(), 3u);
}

TEST_F(Form1Test, SaveOfSeveralKeepsBothNamesAndTellsWhatWasNotSaved) {
  fake_.AddFile(root_ + L"BBBB0000", L"one[1].gif");
  Pick(L".gif");
  ListedEntries all{form_.results().listing(), {0, 1, 2, 3, 4}};
  ASSERT_EQ(Names(), (Strings{L"one[1].gif", L"two[1].gif", L"four[1].gif", L"locked[1].gif", L"one[1].gif"}));
  std::erase_if(fake_.folders[a_], [](const auto& entry) { return entry.name == L"two[1].gif"; });
  fake_.picked_folder = L"D:\\pics";
  fake_.copied_from[L"D:\\pics\\one[1].gif"] = L"the user's";
  SaveSelected(fake_, all);
  EXPECT_EQ(fake_.copied_from[L"D:\\pics\\one[1].gif"], L"the user's");
  EXPECT_EQ(fake_.copied_from[L"D:\\pics\\one[1] (2).gif"], a_ + L"one[1].gif");
  EXPECT_EQ(fake_.copied_from[L"D:\\pics\\one[1] (3).gif"], root_ + L"BBBB0000\\one[1].gif");
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_EQ(fake_.messages[0].title, L"提醒 —— Quistemar");
  EXPECT_EQ(fake_.messages[0].text, L"保存了 4 个文件。\r\n\r\n1 个文件未能保存：\r\ntwo[1].gif：扫描后已不存在");

  // Cancelled after the first file: the rest are counted as not saved.
  fake_.picked_folder = L"E:\\";
  fake_.cancel_at_step = fake_.progress_steps.size() + 2;
  SaveSelected(fake_, all);
  EXPECT_EQ(fake_.messages.back().text, L"保存了 1 个文件。\r\n\r\n已取消，其余 4 个文件未保存。");
}

TEST_F(Form1Test, DeleteRemovesOnlyTheSelectedFilesAndSaysWhichStayed) {
  fake_.AddFile(a_, L"ro\u200B[1].gif", /*undeletable=*/true);
  Pick(L".gif");
  list1_.Pick(1);
  form_.OnDelClick();  // one file goes at once
  EXPECT_EQ(fake_.deleted, (Strings{a_ + L"two[1].gif"}));
  EXPECT_EQ(Names(), (Strings{L"one[1].gif", L"ro\u200B[1].gif", L"four[1].gif", L"locked[1].gif"}));
  EXPECT_EQ(list1_.CurrentIndex(), -1);
  form_.OnDelClick();  // nothing current: nothing deleted
  list1_.Pick(1);
  form_.OnDelClick();  // refused: said after the scan, naming the file as drawn
  EXPECT_EQ(fake_.messages.at(0).text, L"未能删除此文件：\r\nro<U+200B>[1].gif\r\n\r\n失败 5");
  std::erase_if(fake_.folders[a_], [](const auto& e) { return e.name == L"one[1].gif"; });
  list1_.Pick(0);
  form_.OnDelClick();  // already gone: no failure
  EXPECT_EQ(fake_.messages.size(), 1u);
}

// The key is pressed by mistake more easily than the menu is used: it asks, and what goes is
// the file it asked about, whatever happens meanwhile.
TEST_F(Form1Test, DeleteKeyRemovesTheFileItAskedAboutOnlyOnYes) {
  Pick(L".gif");
  form_.OnList1DeleteKey();  // nothing current: nothing asked
  list1_.Pick(1);
  form_.OnList1DeleteKey();  // answered No
  ASSERT_EQ(fake_.questions.size(), 1u);
  EXPECT_EQ(fake_.questions[0].text, L"确定要永久删除此文件吗？\r\ntwo[1].gif\r\n\r\n删除后无法恢复。");
  EXPECT_TRUE(fake_.deleted.empty());
  fake_.answer_yes = true;
  fake_.while_asking = [&] {
    list1_.Pick(0);
    form_.OnList1DeleteKey();
  };
  form_.OnList1DeleteKey();
  EXPECT_EQ(fake_.deleted, (Strings{a_ + L"two[1].gif"}));
  EXPECT_EQ(fake_.questions.size(), 2u);
  EXPECT_EQ(Names(), (Strings{L"one[1].gif", L"four[1].gif", L"locked[1].gif"}));
}

TEST_F(Form1Test, DeleteAllSparesOtherTypesDirectoriesAndLockedFiles) {
  fake_.answer_yes = true;
  text1_.text = L".IE5";  // every entry matches, "." and ".." too
  form_.OnCommand3Click();
  form_.OnDelallClick();
  EXPECT_EQ(Names(), (Strings{L".", L"..", L".", L"..", L"locked[1].gif"}));
  Pick(L".gif");
  form_.OnDelallClick();
  EXPECT_EQ(Names(), (Strings{L"locked[1].gif"}));
  EXPECT_EQ(fake_.messages.back().text, L"共 1 个文件，其中 1 个未能删除：\r\n\r\nlocked[1].gif：失败 5\r\n");

  Pick(L".swf");
  const size_t before = fake_.deleted.size();
  const size_t scans = fake_.special_folder_calls;
  form_.OnDelallClick();  // no listed files: nothing asked or deleted, the scan still runs
  EXPECT_EQ(fake_.deleted.size(), before);
  EXPECT_EQ(fake_.special_folder_calls, scans + 1);
  EXPECT_EQ(fake_.questions.size(), 2u);
}

TEST_F(Form1Test, DeleteAllAsksFirstAndStopsWhenCancelled) {
  Pick(L".gif");
  list1_.Pick(0);
  const size_t scans = fake_.special_folder_calls;
  form_.OnDelallClick();  // answered No: nothing deleted, nothing scanned
  ASSERT_EQ(fake_.questions.size(), 1u);
  EXPECT_EQ(fake_.questions[0].text, L"确定要永久删除列出的 4 个文件吗？");
  EXPECT_EQ(fake_.questions[0].title, L"提醒 —— Quistemar");
  EXPECT_TRUE(fake_.deleted.empty());
  EXPECT_EQ(fake_.special_folder_calls, scans);
  EXPECT_EQ(list1_.CurrentIndex(), 0);

  fake_.answer_yes = true;
  fake_.cancel_at_step = 2;  // cancelled while the second file goes
  form_.OnDelallClick();
  EXPECT_EQ(fake_.progress_totals, std::vector<size_t>{4});
  EXPECT_EQ(fake_.progress_steps, (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(fake_.deleted, (Strings{root_ + L"BBBB0000\\four[1].gif"}));
  EXPECT_EQ(Names(), (Strings{L"one[1].gif", L"two[1].gif", L"locked[1].gif"}));
  EXPECT_EQ(fake_.special_folder_calls, scans + 1);
  // What the cancel spared is no failure; the locked file, tried first, is.
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_TRUE(fake_.messages[0].text.starts_with(L"共 4 个文件，其中 1 个未能删除"));
}

// One question for several rows, and exactly those go, whatever is picked meanwhile; no row
// passes through a 16-bit field, so rows 3 and 65,539 are told apart.
TEST_F(Form1Test, DeletingSeveralAsksOnceAndDeletesExactlyThoseEvenPastRow65535) {
  for (int i = 0; i < 70000; ++i) fake_.AddFile(a_, L"row" + std::to_wstring(i) + L".gif");
  Pick(L".gif");
  std::vector<int> every(70004);
  std::iota(every.begin(), every.end(), 0);
  list1_.Select(every);
  const size_t scans = fake_.special_folder_calls;
  form_.OnList1DeleteKey();  // answered No
  EXPECT_EQ(fake_.questions.back().text, L"确定要永久删除这 70004 个文件吗？\r\n\r\n删除后无法恢复。");
  fake_.answer_yes = true;
  fake_.while_asking = [&] { list1_.Pick(0); };
  list1_.Select({3, 65539});
  form_.OnDelClick();
  EXPECT_EQ(fake_.questions.size(), 2u);
  EXPECT_EQ(fake_.deleted, (Strings{a_ + L"row65537.gif", a_ + L"row1.gif"}));
  EXPECT_EQ(fake_.special_folder_calls, scans + 1);  // none after No, one after Yes
}

// Another program can pick, search or delete through the window's messages while the question
// or the progress dialog is up: none of it may change which files go.
TEST_F(Form1Test, DeleteAllDeletesWhatTheQuestionNamedWhateverArrivesMeanwhile) {
  fake_.answer_yes = true;
  Pick(L".gif");
  const Strings gifs = {root_ + L"BBBB0000\\four[1].gif", a_ + L"two[1].gif", a_ + L"one[1].gif"};
  auto meddle = [&] {
    fake_.AddFile(a_, L"new[1].gif");
    Pick(L".jpg");
    form_.OnCommand1Click();
    list1_.Pick(0);
    form_.OnDelClick();
    form_.OnDelallClick();
  };
  fake_.while_asking = meddle;
  form_.OnDelallClick();
  EXPECT_EQ(fake_.deleted, gifs);
  EXPECT_EQ(fake_.questions.size(), 1u);
  EXPECT_EQ(Names(), (Strings{L"three[1].jpg"}));  // the rescan afterwards follows the chooser

  fake_.while_asking = nullptr;
  fake_.while_working = meddle;
  Pick(L".gif");
  form_.OnDelallClick();
  EXPECT_EQ(fake_.deleted.size(), 4u);
  EXPECT_EQ(fake_.deleted.back(), a_ + L"new[1].gif");
}

TEST_F(Form1Test, CustomExtensionIsAddedSelectedAndScannedOnce) {
  text1_.text = L".";
  form_.OnCommand3Click();
  text1_.text = L"..";
  form_.OnCommand3Click();
  ASSERT_EQ(fake_.messages.size(), 2u);
  EXPECT_EQ(fake_.messages[0].text, L"请输入完整后缀名，如：.wma        ");
  EXPECT_EQ(fake_.messages[0].title, L"提醒 —— Quistemar");
  EXPECT_EQ(combo1_.Count(), 16);

  text1_.text = L"jpg";  // no dot: accepted, matched anywhere in the path
  form_.OnCommand3Click();
  EXPECT_EQ(combo1_.Count(), 17);
  EXPECT_EQ(combo1_.CurrentIndex(), 16);
  EXPECT_EQ(Names(), (Strings{L"three[1].jpg"}));
  EXPECT_EQ(text1_.text, L"jpg");

  text1_.text = L".gif";  // a duplicate of a built-in entry is appended all the same
  form_.OnCommand3Click();
  EXPECT_EQ(combo1_.Count(), 18);
  EXPECT_EQ(list1_.Count(), 4);

  text1_.text = L"";  // empty: exactly one message, the scan's own
  form_.OnCommand3Click();
  ASSERT_EQ(fake_.messages.size(), 3u);
  EXPECT_EQ(fake_.messages[2].text, L"请选择完整后缀名，如：.flv        ");
}

TEST_F(Form1Test, TextChangeSelectsOneCharacterAndHelpShowsUsage) {
  form_.OnText1Change();
  EXPECT_EQ(text1_.sel_length, 1);
  form_.OnCommand2Click();
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_EQ(fake_.messages[0].title, L"使用说明  -- Quistemar");
  EXPECT_NE(fake_.messages[0].text.find(L"保存!\r\n\r\n在文本框"), std::wstring::npos);
}

}  // namespace
}  // namespace tallow

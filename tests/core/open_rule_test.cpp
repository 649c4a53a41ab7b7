#include "actions/open_rule.h"

#include <gtest/gtest.h>

#include "actions/open_listed.h"
#include "fakes/fake_platform.h"

namespace tallow {
namespace {

using testing::FakePlatform;

TEST(OpenRuleTest, AsksUnlessTheSystemWouldOnlyShowTheFile) {
  FakePlatform fake;
  for (auto extension : {L".exex", L".command", L".comic", L".pifx"}) fake.programs[extension] = {};
  fake.programs[L".prg"] = {L"\"%1\" %*"};
  fake.programs[L".prl"] = {L"  %L /S"};
  fake.programs[L".jpg"] = {L"", /*delegate=*/true, /*media=*/true};
  fake.programs[L".tallowtest"] = {L"\"C:\\tests\\record_args.exe\" \"%1\"", false, true};
  // Programs that act on the file, registered just as a viewer is: a program, then the file.
  fake.programs[L".rdp"] = {L"C:\\Windows\\system32\\mstsc.exe \"%1\""};
  fake.dangerous_types = {L".pdf"};
  const struct {
    std::wstring name;
    OpenCaution caution;
  } cases[] = {
      // What Wine starts as a program: by the extension's first letters, or with none at all.
      {L"x.gif.exex", OpenCaution::kNoProgram},
      {L"x.gif.command", OpenCaution::kNoProgram},
      {L"x.gif.comic", OpenCaution::kNoProgram},
      {L"x.gif.pifx", OpenCaution::kNoProgram},
      {L"wmvtool", OpenCaution::kNoExtension},
      {L"wmvtool. .", OpenCaution::kNoExtension},
      // Names that pass for another.
      {L"m.gif.exe\u200B", OpenCaution::kDisguisedName},
      {L"m.gif.exe\u00A0", OpenCaution::kDisguisedName},
      {L"m.gif.exe\u3000", OpenCaution::kDisguisedName},
      {L"pic\u202Efig.exe", OpenCaution::kDisguisedName},
      {L"RUN.GIF.CMD. ", OpenCaution::kCodeType},
      {L"doc.gif.pdf", OpenCaution::kSystemWarns},
      {L"tool.gif.prg", OpenCaution::kRunsItself},
      {L"tool.gif.prl", OpenCaution::kRunsItself},
      {L"photo.gif.rdp", OpenCaution::kNotMedia},
      // Taken for sound, yet they send the player to any address or share.
      {L"radio[1].M3U8", OpenCaution::kPointer},
      {L"live.qtl", OpenCaution::kPointer},
      // Handed to something that shows it.
      {L"photo[1].jpg", OpenCaution::kNone},
      {L"view[1].tallowtest", OpenCaution::kNone},
      {L"缓存\u3000图片[1].gif", OpenCaution::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(CautionFor(fake, c.name), c.caution) << c.name;
  // Types that reach code through a host of their own, or a certificate to trust.
  for (const std::wstring extension : {L".settingcontent-ms",
                                       L".library-ms",
                                       L".search-ms",
                                       L".theme",
                                       L".themepack",
                                       L".diagcab",
                                       L".xll",
                                       L".iqy",
                                       L".slk",
                                       L".ps1xml",
                                       L".psc1",
                                       L".mht",
                                       L".mhtml",
                                       L".xbap",
                                       L".jnlp",
                                       L".py",
                                       L".pyw",
                                       L".hlp",
                                       L".wsb",
                                       L".website",
                                       L".cer",
                                       L".crt",
                                       L".der",
                                       L".svg",
                                       L".swf"}) {
    EXPECT_EQ(CautionFor(fake, L"x.gif" + extension), OpenCaution::kCodeType) << extension;
  }
}

// A host that runs what it is handed starts the file as surely as the file itself.
TEST(OpenRuleTest, CommandsThatRunTheFileThroughAHost) {
  const struct {
    std::wstring command;
    bool runs;
  } cases[] = {
      {L"rundll32.exe \"%1\",DllMain", true},
      {L"C:\\Windows\\System32\\RUNDLL32 %1,Entry", true},
      {L"rundll32.exe shell32.dll,ShellExec_RunDLL \"%1\"", true},
      {L"rundll32.exe \"C:\\Program Files\\Photo Viewer\\PhotoViewer.dll\", ImageView_Fullscreen %1", false},
      {L"C:\\Windows\\system32\\cmd.exe /C \"%1\"", true},
      {L"cmd /q /k start \"\" %L", true},
      {L"cmd.exe /d %1", false},
      {L"\"%SystemRoot%\\System32\\WScript.exe\" \"%1\" %*", true},
      {L"C:\\Program Files\\PowerShell\\7\\pwsh.exe -File \"%1\"", true},
      {L"mshta.exe", true},  // the shell adds the file to a command that does not name it
      {L"regsvr32 /s %l", true},
      {L"MsiExec /package \"%1\"", true},
      {L"\"C:\\tools\\wscript viewer.exe\" \"%1\"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandRunsTheFile(c.command), c.runs) << c.command;
}

// The question names the reason that holds and who gets the file; Yes opens by the verb judged.
TEST(OpenRuleTest, TheQuestionSaysWhyAndWhoGetsTheFile) {
  FakePlatform fake;
  fake.programs[L".txt"] = {L"C:\\Windows\\NOTEPAD.EXE %1", false, false, L"", L"open"};
  const std::wstring path = L"C:\\Cache\\AAAA0000\\readme[1].txt";
  OpenListed(fake, path);
  fake.programs[L".txt"].name = L"记事本";
  fake.answer_yes = true;
  OpenListed(fake, path);
  ASSERT_EQ(fake.questions.size(), 2u);
  EXPECT_EQ(
      fake.questions[0].text,
      L"打开此文件前请确认：\r\nreadme[1].txt\r\n\r\n原因：此类型不是图片、声音或视频，打开它的程序可能按文件内容行事。"
      L"\r\n将由「NOTEPAD.EXE」打开。\r\n\r\n它来自网页缓存，来源不明。确定要打开吗？");
  EXPECT_NE(fake.questions[1].text.find(L"将由「记事本」打开。"), std::wstring::npos);
  EXPECT_EQ(fake.opened_verbs, std::vector<std::wstring>{L"open"});
}

}  // namespace
}  // namespace tallow

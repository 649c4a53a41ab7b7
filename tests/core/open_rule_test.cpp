#include "actions/open_rule.h"

#include <gtest/gtest.h>

#include "actions/file_actions.h"
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

}  // namespace
}  // namespace tallow

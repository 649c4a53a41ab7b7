#include "actions/open_listed.h"

#include "lists/visible_name.h"
#include "platform/file_names.h"
#include "search/run_search.h"

namespace tallow {

namespace {

std::wstring_view Reason(OpenCaution caution) {
  switch (caution) {
    case OpenCaution::kDisguisedName:
      return L"名称里有看不见或易混淆的字符，看上去会像另一个名称。";
    case OpenCaution::kNoExtension:
      return L"它没有扩展名，看不出是什么类型，系统可能把它当作程序运行。";
    case OpenCaution::kCodeType:
      return L"此类型可能运行程序或脚本、打开它指向的位置，或更改系统设置。";
    case OpenCaution::kPointer:
      return L"播放列表会让播放器连接它写下的任意网址或共享位置；连接共享时，系统会向那台主机出示你的身份。";
    case OpenCaution::kSystemWarns:
      return L"系统认为此类型不安全。";
    case OpenCaution::kNoProgram:
      return L"系统没有登记打开此类型的程序。";
    case OpenCaution::kRunsItself:
      return L"此类型的打开方式会把文件当作程序运行。";
    case OpenCaution::kNotMedia:
    case OpenCaution::kNone:
      break;
  }
  return L"此类型不是图片、声音或视频，打开它的程序可能按文件内容行事。";
}

}  // namespace

std::wstring OpenWarningText(std::wstring_view name, OpenCaution caution, std::wstring_view program) {
  std::wstring text = L"打开此文件前请确认：\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n原因：").append(Reason(caution));
  if (!program.empty()) text.append(L"\r\n将由「").append(VisibleName(program)).append(L"」打开。");
  text.append(L"\r\n\r\n它来自网页缓存，来源不明。确定要打开吗？");
  return text;
}

void OpenListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (!path) return;
  const std::optional<std::wstring> target = platform.ShellPath(*path);
  if (!target) return;
  // By the type's own program: a shell may start any file that holds a program as one, whatever
  // its name (Wine's does), and a picture's name must reach the picture's viewer. A type without
  // a program goes the shell's own way, after the question: Windows offers a choice of programs,
  // and a program the user said Yes to starts where its type is not registered (Wine's ".exe").
  const std::wstring type(LastExtension(NamePart(*target)));
  const TypeProgram program = type.empty() ? TypeProgram{} : platform.ProgramForType(type);
  // The name decides, not the extension the list was searched for ("anim.gif.exe" is listed
  // under ".gif"); so does the name the shell is given, when that is another.
  const std::wstring_view name = NamePart(*path);
  OpenCaution caution = CautionFor(platform, name);
  if (caution == OpenCaution::kNone && NamePart(*target) != name) caution = CautionFor(platform, NamePart(*target));
  if (caution != OpenCaution::kNone &&
      !platform.AskYesNo(OpenWarningText(name, caution, ProgramName(program)), std::wstring(kReminderTitle))) {
    return;
  }
  const bool registered = !program.command.empty() || program.delegate;
  platform.OpenWithDefaultProgram(*target, registered ? type : std::wstring(),
                                  registered ? program.verb : std::wstring());
}

}  // namespace tallow

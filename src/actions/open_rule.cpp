#include "actions/open_rule.h"

#include <algorithm>
#include <string>

#include "lists/visible_name.h"
#include "platform/file_names.h"

namespace tallow {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// "%1" and "%L" both stand for the file; a command that starts with one runs the file itself.
bool StartsWithTheFile(std::wstring_view command) {
  command.remove_prefix(std::min(command.find_first_not_of(L' '), command.size()));
  if (command.starts_with(L'"')) command.remove_prefix(1);
  return command.size() >= 2 && command[0] == L'%' && (command[1] == L'1' || AsciiLower(command[1]) == L'l');
}

}  // namespace

OpenCaution CautionFor(Platform& platform, std::wstring_view name) {
  if (IsDisguisedName(name)) return OpenCaution::kDisguisedName;
  std::wstring extension(LastExtension(name));
  if (extension.empty()) return OpenCaution::kNoExtension;
  std::ranges::transform(extension, extension.begin(), AsciiLower);
  if (std::ranges::find(kCodeTypes, extension) != kCodeTypes.end()) return OpenCaution::kCodeType;
  if (platform.IsDangerousType(extension)) return OpenCaution::kSystemWarns;
  const TypeProgram program = platform.ProgramForType(extension);
  if (program.command.empty() && !program.delegate) return OpenCaution::kNoProgram;
  if (StartsWithTheFile(program.command)) return OpenCaution::kRunsItself;
  return program.media ? OpenCaution::kNone : OpenCaution::kNotMedia;
}

bool AsksBeforeOpening(Platform& platform, std::wstring_view name) { return CautionFor(platform, name) != OpenCaution::kNone; }

}  // namespace tallow

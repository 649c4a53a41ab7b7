#include "actions/open_rule.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lists/visible_name.h"
#include "platform/file_names.h"

namespace tallow {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Lower(std::wstring_view text) {
  std::wstring lower(text);
  std::ranges::transform(lower, lower.begin(), AsciiLower);
  return lower;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "%1", "%L" and "%V" stand for the file in a type's command; Wine takes "%0" too.
bool IsFileMarkAt(std::wstring_view text, size_t at) {
  return at + 1 < text.size() && text[at] == L'%' &&
         std::wstring_view(L"01lv").find(AsciiLower(text[at + 1])) != std::wstring_view::npos;
}

bool NamesTheFile(std::wstring_view text) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (IsFileMarkAt(text, at)) return true;
  }
  return false;
}

std::wstring WithoutQuotes(std::wstring_view text) {
  std::wstring bare;
  std::ranges::copy_if(text, std::back_inserter(bare), [](wchar_t c) { return c != L'"'; });
  return bare;
}

bool IsTheFile(std::wstring_view text) {
  const std::wstring bare = WithoutQuotes(TrimBlanks(text));
  return bare.size() == 2 && IsFileMarkAt(bare, 0);
}

// The arguments as a program's runtime splits them: blanks outside quotes separate, quotes go.
std::vector<std::wstring> Arguments(std::wstring_view text) {
  std::vector<std::wstring> arguments;
  bool quoted = false;
  bool open = false;
  for (const wchar_t c : text) {
    if (c == L'"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      open = false;
      continue;
    }
    if (!open) arguments.emplace_back();
    open = true;
    if (c != L'"') arguments.back().push_back(c);
  }
  return arguments;
}

// "wscript" for "C:\Windows\System32\WScript.exe": what the program is, wherever it lies.
std::wstring ProgramStem(std::wstring_view path) {
  std::wstring stem = Lower(path.substr(path.find_last_of(L"\\/") + 1));
  if (stem.ends_with(L".exe")) stem.resize(stem.size() - 4);
  return stem;
}

// Whether the host program runs what the rest of its command line hands it. The shell adds the
// file at the end of a command that does not name it.
bool HostRunsTheFile(std::wstring_view stem, std::wstring_view rest, bool file_added) {
  const bool given = file_added || NamesTheFile(rest);
  if (stem == L"rundll32") {
    // The DLL it loads comes before the comma; some of the entries it may call open the file
    // they are given through the shell again, which starts a program whatever its name.
    const std::wstring bare = WithoutQuotes(rest);
    const size_t comma = std::min(bare.find(L','), bare.size());
    const std::vector<std::wstring> after = Arguments(std::wstring_view(bare).substr(std::min(comma + 1, bare.size())));
    const std::wstring entry = after.empty() ? std::wstring() : Lower(after[0]);
    return IsTheFile(std::wstring_view(bare).substr(0, comma)) ||
           (given &&
            (entry.starts_with(L"shellexec_rundll") || entry == L"fileprotocolhandler" || entry == L"routethecall"));
  }
  if (stem == L"cmd") {
    return given && std::ranges::any_of(Arguments(rest), [](const std::wstring& argument) {
             const std::wstring option = Lower(argument.substr(0, 2));
             return option == L"/c" || option == L"/k";
           });
  }
  // Every package option of msiexec installs, repairs or patches with the package's own code.
  constexpr std::wstring_view kHosts[] = {L"wscript", L"cscript",  L"mshta",  L"powershell",
                                          L"pwsh",    L"regsvr32", L"msiexec"};
  return given && std::ranges::find(kHosts, stem) != std::end(kHosts);
}

// Each way the command's program can be read: the quoted path, or, for a path without quotes,
// every run up to a blank, since the system tries each of them in turn.
template <typename Visit>
bool AnyProgramReading(std::wstring_view command, Visit&& visit) {
  command = TrimBlanks(command);
  if (command.starts_with(L'"')) {
    const size_t close = std::min(command.find(L'"', 1), command.size());
    return visit(command.substr(1, close - 1), command.substr(std::min(close + 1, command.size())));
  }
  for (size_t end = 1; end <= command.size(); ++end) {
    if ((end == command.size() || IsBlank(command[end])) && visit(command.substr(0, end), command.substr(end))) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool CommandRunsTheFile(std::wstring_view command) {
  const bool file_added = !NamesTheFile(command);
  return AnyProgramReading(command, [&](std::wstring_view program, std::wstring_view rest) {
    return IsTheFile(program) || HostRunsTheFile(ProgramStem(program), rest, file_added);
  });
}

std::wstring ProgramName(const TypeProgram& program) {
  if (CommandRunsTheFile(program.command)) return std::wstring();
  if (!TrimBlanks(program.name).empty()) return program.name;
  // The first reading that ends in ".exe", else the first word: what a user would recognise.
  std::wstring_view path;
  AnyProgramReading(program.command, [&](std::wstring_view candidate, std::wstring_view) {
    if (path.empty()) path = candidate;
    if (!Lower(candidate).ends_with(L".exe")) return false;
    path = candidate;
    return true;
  });
  return std::wstring(path.substr(path.find_last_of(L"\\/") + 1));
}

OpenCaution CautionFor(Platform& platform, std::wstring_view name) {
  if (IsDisguisedName(name)) return OpenCaution::kDisguisedName;
  const std::wstring extension = Lower(LastExtension(name));
  if (extension.empty()) return OpenCaution::kNoExtension;
  if (std::ranges::find(kCodeTypes, extension) != kCodeTypes.end()) return OpenCaution::kCodeType;
  if (std::ranges::find(kPointerTypes, extension) != kPointerTypes.end()) return OpenCaution::kPointer;
  if (platform.IsDangerousType(extension)) return OpenCaution::kSystemWarns;
  const TypeProgram program = platform.ProgramForType(extension);
  if (program.command.empty() && !program.delegate) return OpenCaution::kNoProgram;
  if (CommandRunsTheFile(program.command)) return OpenCaution::kRunsItself;
  return program.media ? OpenCaution::kNone : OpenCaution::kNotMedia;
}

bool AsksBeforeOpening(Platform& platform, std::wstring_view name) {
  return CautionFor(platform, name) != OpenCaution::kNone;
}

}  // namespace tallow

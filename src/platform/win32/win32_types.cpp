#include "platform/win32/win32_platform.h"

// The shell's file types: what opens a type, whether the system calls it unsafe or takes it for
// media, and opening a file through its type's program.
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cwchar>

#include "platform/win32/dll_search.h"
#include "platform/win32/handles.h"

namespace tallow {
namespace {

// A text value of a key under HKEY_CLASSES_ROOT (its default value for a null name); empty when
// there is none.
std::wstring ClassesText(const std::wstring& key, const wchar_t* value) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  text.resize(std::wcslen(text.c_str()));
  return text;
}

// The EditFlags of a key under HKEY_CLASSES_ROOT: a number, or four bytes in older types.
DWORD ClassesFlags(const std::wstring& key) {
  DWORD flags = 0;
  DWORD size = sizeof flags;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"EditFlags", RRF_RT_REG_DWORD | RRF_RT_REG_BINARY, nullptr, &flags,
                   &size) != ERROR_SUCCESS) {
    return 0;
  }
  return flags;
}

// True when the open key has the sub-key.
bool HasSubkey(HKEY key, const std::wstring& name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  RegCloseKey(raw);
  return true;
}

// The verb a double-click runs on files of the class, as the shell picks it: the first verb
// named by the default value of its "shell" key (a list, split by commas or blanks) that is
// there, else "open", else the first verb. Empty when the class has no verbs. Wine judges the
// first verb when the default is missing, but runs "open".
std::wstring DefaultVerb(const std::wstring& type_class) {
  HKEY raw = nullptr;
  if (type_class.empty() ||
      RegOpenKeyExW(HKEY_CLASSES_ROOT, (type_class + L"\\shell").c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
    return std::wstring();
  }
  const win32::UniqueHkey shell(raw);
  const std::wstring named = ClassesText(type_class + L"\\shell", nullptr);
  for (size_t start = 0; start < named.size();) {
    const size_t end = std::min(named.find_first_of(L", ", start), named.size());
    const std::wstring verb = named.substr(start, end - start);
    if (!verb.empty() && HasSubkey(shell.get(), verb)) return verb;
    start = end + 1;
  }
  if (HasSubkey(shell.get(), L"open")) return L"open";
  wchar_t first[256] = {};
  DWORD length = static_cast<DWORD>(std::size(first));
  if (RegEnumKeyExW(shell.get(), 0, first, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::wstring();
  }
  return std::wstring(first, length);
}

}  // namespace

bool Win32Platform::OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type,
                                           const std::wstring& verb) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Returns once the program is started, also when the shell starts it through DDE. The shell's
  // own UI stays on: for a type without a program it offers a choice (Wine reports an error),
  // in a window owned by the main window, as Explorer does on a double-click.
  info.fMask = SEE_MASK_NOASYNC;
  // The type's program, never the file itself: without the class, Wine's shell first tries to
  // start any file as a program, whatever its name.
  if (!type.empty()) {
    info.fMask |= SEE_MASK_CLASSNAME;
    info.lpClass = type.c_str();
  }
  info.hwnd = owner_;
  // The verb whose command was judged; without one, the type's default, as a double-click.
  info.lpVerb = verb.empty() ? nullptr : verb.c_str();
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

bool Win32Platform::IsDangerousType(const std::wstring& extension) {
  // Not every shlwapi has it, and Wine's always says no.
  LoadShlwapi();
  if (assoc_is_dangerous_ && assoc_is_dangerous_(extension.c_str())) return true;
  // The type's own word, on its extension's key or its program's, which that function reads too.
  for (const std::wstring& key : {extension, ClassesText(extension, nullptr), AssocText(ASSOCSTR_PROGID, extension)}) {
    if (!key.empty() && (ClassesFlags(key) & FTA_AlwaysUnsafe) != 0) return true;
  }
  return false;
}

void Win32Platform::LoadShlwapi() {
  if (shlwapi_loaded_) return;
  shlwapi_loaded_ = true;
  shlwapi_ = LoadSystemDll(L"shlwapi.dll");
  if (!shlwapi_) return;
  assoc_is_dangerous_ =
      reinterpret_cast<AssocIsDangerousFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocIsDangerous")));
  assoc_query_string_ = reinterpret_cast<AssocQueryStringFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocQueryStringW")));
  assoc_get_perceived_type_ = reinterpret_cast<AssocGetPerceivedTypeFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi_.get(), "AssocGetPerceivedType")));
}

std::wstring Win32Platform::AssocText(ASSOCSTR what, const std::wstring& extension, const std::wstring& verb) {
  LoadShlwapi();
  std::wstring text;
  if (!assoc_query_string_) return text;
  // Without the stand-in for unknown types, whose command only offers a choice of programs.
  const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE;
  const wchar_t* extra = verb.empty() ? nullptr : verb.c_str();
  DWORD size = 0;
  if (assoc_query_string_(flags, what, extension.c_str(), extra, nullptr, &size) != S_FALSE || size == 0) return text;
  text.resize(size);
  if (FAILED(assoc_query_string_(flags, what, extension.c_str(), extra, text.data(), &size))) return std::wstring();
  text.resize(std::wcslen(text.c_str()));
  return text;
}

bool Win32Platform::PerceivedAsMedia(const std::wstring& extension) {
  LoadShlwapi();
  if (assoc_get_perceived_type_) {
    PERCEIVED type = PERCEIVED_TYPE_UNSPECIFIED;
    PERCEIVEDFLAG source = PERCEIVEDFLAG_UNDEFINED;
    PWSTR name = nullptr;
    const HRESULT result = assoc_get_perceived_type_(extension.c_str(), &type, &source, &name);
    CoTaskMemFree(name);
    if (SUCCEEDED(result)) {
      return type == PERCEIVED_TYPE_IMAGE || type == PERCEIVED_TYPE_AUDIO || type == PERCEIVED_TYPE_VIDEO;
    }
  }
  // Where that function is missing or not implemented (Wine's), the registry's own word, where
  // the function looks for it.
  for (const std::wstring& key : {extension, L"SystemFileAssociations\\" + extension}) {
    const std::wstring perceived = ClassesText(key, L"PerceivedType");
    if (perceived.empty()) continue;
    return std::ranges::any_of(std::array{L"image", L"audio", L"video"}, [&](const wchar_t* kind) {
      return CompareStringOrdinal(perceived.c_str(), -1, kind, -1, TRUE) == CSTR_EQUAL;
    });
  }
  return false;
}

TypeProgram Win32Platform::ProgramForType(const std::wstring& extension) {
  TypeProgram program;
  // The verb is resolved here once, from the class the shell reads, and every question below
  // and the open itself name it: the system's own default differs between its functions.
  for (const std::wstring& type_class :
       {AssocText(ASSOCSTR_PROGID, extension), ClassesText(extension, nullptr), extension}) {
    program.verb = DefaultVerb(type_class);
    if (!program.verb.empty()) break;
  }
  program.command = AssocText(ASSOCSTR_COMMAND, extension, program.verb);
  program.delegate = !AssocText(ASSOCSTR_DELEGATEEXECUTE, extension, program.verb).empty();
  if (!program.command.empty() || program.delegate) {
    program.name = AssocText(ASSOCSTR_FRIENDLYAPPNAME, extension, program.verb);
  }
  program.media = PerceivedAsMedia(extension);
  return program;
}

}  // namespace tallow

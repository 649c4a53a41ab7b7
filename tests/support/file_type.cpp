#include "support/file_type.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "support/files.h"

namespace tallow::testing {

namespace {

constexpr const wchar_t* kRecordVariable = L"TALLOW_RECORD_ARGS";

bool SetDefaultValue(const std::wstring& key_path, const std::wstring& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const win32::UniqueHkey key(raw);
  return RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

RecordingFileType::RecordingFileType(std::wstring extension, std::wstring prog_id, std::wstring perceived_type)
    : extension_(std::move(extension)), prog_id_(std::move(prog_id)), perceived_type_(std::move(perceived_type)) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  record_ = std::wstring(temp) + UniqueName(L"tallow command line ") + L".txt";
}

RecordingFileType::~RecordingFileType() {
  SetEnvironmentVariableW(kRecordVariable, nullptr);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, extension_.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, prog_id_.c_str());
  RemoveTree(record_);
  RemoveTree(record_ + L".partial");
}

std::wstring RecordingFileType::Helper() {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring helper(self, length < MAX_PATH ? length : 0);
  return helper.replace(helper.rfind(L'\\') + 1, std::wstring::npos, L"record_args.exe");
}

::testing::AssertionResult RecordingFileType::Register() {
  const std::wstring helper = Helper();
  if (!Exists(helper)) return ::testing::AssertionFailure() << "build the record_args target";
  const std::wstring& kind = perceived_type_;
  if (!SetDefaultValue(extension_, prog_id_) ||
      !SetDefaultValue(prog_id_ + L"\\shell\\open\\command", L'"' + helper + L"\" \"%1\"") ||
      (!kind.empty() && RegSetKeyValueW(HKEY_CLASSES_ROOT, extension_.c_str(), L"PerceivedType", REG_SZ, kind.c_str(),
                                        static_cast<DWORD>((kind.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)) {
    return ::testing::AssertionFailure() << "cannot register " << extension_;
  }
  if (!SetEnvironmentVariableW(kRecordVariable, record_.c_str())) {
    return ::testing::AssertionFailure() << "cannot name the record file to the helper";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult RecordingFileType::SetVerb(const std::wstring& verb, const std::wstring& command,
                                                      bool as_default) {
  if (!SetDefaultValue(prog_id_ + L"\\shell\\" + verb + L"\\command", command) ||
      (as_default && !SetDefaultValue(prog_id_ + L"\\shell", verb))) {
    return ::testing::AssertionFailure() << "cannot register the verb of " << extension_;
  }
  return ::testing::AssertionSuccess();
}

std::optional<std::wstring> RecordingFileType::CommandLine() const {
  const std::optional<std::string> bytes = ReadBytes(record_);
  if (!bytes) return std::nullopt;
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
}

std::optional<std::wstring> RecordingFileType::WaitForCommandLine(std::chrono::milliseconds deadline) const {
  for (auto end = std::chrono::steady_clock::now() + deadline; std::chrono::steady_clock::now() < end;) {
    if (std::optional<std::wstring> command_line = CommandLine()) return command_line;
    Sleep(50);
  }
  return std::nullopt;
}

}  // namespace tallow::testing

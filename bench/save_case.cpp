#include "save_case.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "actions/save_actions.h"
#include "bench_support.h"
#include "platform/win32/handles.h"

namespace tallow::bench {

namespace {

constexpr int kFiles = 10000;
constexpr int kBuckets = 4;
constexpr size_t kFileBytes = 4096;  // a small picture's worth

// The machine's platform, with a picker that answers at once and message boxes that say
// nothing: what is measured is the copying.
class SilentSavePlatform final : public Platform {
 public:
  SilentSavePlatform(Platform& real, std::wstring folder) : real_(real), folder_(std::move(folder)) {}
  std::wstring last_message;

  std::optional<std::wstring> PickFolder(const std::wstring&) override { return folder_; }
  void ShowMessage(const std::wstring& text, const std::wstring&, MessageIcon) override { last_message = text; }
  bool AskYesNo(const std::wstring&, const std::wstring&) override { return false; }

  std::optional<std::wstring> SpecialFolderPath(int csidl) override { return real_.SpecialFolderPath(csidl); }
  bool EnumerateDirectory(const std::wstring& path, unsigned mask, const EntrySink& sink) override {
    return real_.EnumerateDirectory(path, mask, sink);
  }
  std::optional<FolderId> FolderIdOf(const std::wstring& path) override { return real_.FolderIdOf(path); }
  std::unique_ptr<CacheFileRemover> BeginRemoving() override { return real_.BeginRemoving(); }
  std::wstring FailureText(uint32_t status) override { return real_.FailureText(status); }
  std::unique_ptr<Progress> BeginProgress(size_t total, const std::wstring& title) override {
    return real_.BeginProgress(total, title);
  }
  bool PathsEqual(std::wstring_view a, std::wstring_view b) override { return real_.PathsEqual(a, b); }
  uint64_t PathHash(std::wstring_view text, uint64_t from) override { return real_.PathHash(text, from); }
  int ShellFileOperation(ShellCopyRecord& record) override { return real_.ShellFileOperation(record); }
  bool OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type, const std::wstring& verb) override {
    return real_.OpenWithDefaultProgram(path, type, verb);
  }
  std::optional<std::wstring> ShellPath(const std::wstring& path) override { return real_.ShellPath(path); }
  EntryKind KindOf(const std::wstring& path) override { return real_.KindOf(path); }
  bool SameContents(const std::wstring& a, const std::wstring& b) override { return real_.SameContents(a, b); }
  bool DiscardPartialCopy(const std::wstring& path, const std::wstring& source) override {
    return real_.DiscardPartialCopy(path, source);
  }
  std::unique_ptr<FolderSaver> BeginSaving(const std::wstring& folder) override { return real_.BeginSaving(folder); }
  bool IsDangerousType(const std::wstring& extension) override { return real_.IsDangerousType(extension); }
  bool MarkFromInternet(const std::wstring& path) override { return real_.MarkFromInternet(path); }
  TypeProgram ProgramForType(const std::wstring& extension) override { return real_.ProgramForType(extension); }

 private:
  Platform& real_;
  std::wstring folder_;
};

bool WriteFileOf(const std::wstring& path, const std::string& bytes) {
  const win32::UniqueHandle file(
      win32::NullIfInvalid(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Deletes every file of the folder (ending in "\"); returns how many there were.
int EmptyFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileW((folder + L"*").c_str(), &data)));
  if (find) {
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
  }
  for (const std::wstring& name : names) DeleteFileW((folder + name).c_str());
  return static_cast<int>(names.size());
}

}  // namespace

SaveTimes MeasureSaveMany(Platform& platform, const std::wstring& inet_cache, int rounds) {
  const std::wstring container = inet_cache + L"\\TallowBenchSave\\";
  const std::wstring target = inet_cache + L"\\TallowBenchSaved\\";
  CreateDirectoryW(container.c_str(), nullptr);
  CreateDirectoryW(target.c_str(), nullptr);
  EmptyFolder(target);
  auto listing = std::make_shared<CacheListing>();
  ListedEntries selected{listing, {}};
  std::vector<std::wstring> sources;
  std::vector<std::wstring> copies;
  std::vector<std::wstring> folders;
  Lcg rng(0x5A7E);
  std::string bytes(kFileBytes, '\0');
  bool ok = true;
  for (int b = 0; b < kBuckets && ok; ++b) {
    const std::wstring bucket = L"SAVE000" + std::to_wstring(b);
    folders.push_back(container + bucket + L"\\");
    CreateDirectoryW(folders.back().c_str(), nullptr);
    const uint32_t folder = listing->AddFolder(container, bucket, platform.FolderIdOf(folders.back()));
    for (int i = b; i < kFiles && ok; i += kBuckets) {
      const std::wstring name = L"photo_" + std::to_wstring(i) + L"[1].jpg";
      for (char& c : bytes) c = static_cast<char>(rng.Next());
      sources.push_back(folders.back() + name);
      copies.push_back(target + name);
      ok = WriteFileOf(sources.back(), bytes);
      selected.indices.push_back(listing->Count());
      listing->AddEntry(folder, name, kFileBytes);
    }
  }
  SilentSavePlatform silent(platform, target.substr(0, target.size() - 1));
  std::vector<double> program, bare;
  for (int round = 0; ok && round < rounds; ++round) {
    {
      const Stopwatch watch;
      SaveSelected(silent, selected);
      program.push_back(watch.ElapsedMs());
    }
    ok = silent.last_message == L"保存   " + std::to_wstring(kFiles) + L" 个文件   成功" &&
         EmptyFolder(target) == kFiles;
    if (!ok) break;
    {
      const Stopwatch watch;
      for (size_t i = 0; i < sources.size(); ++i) CopyFileW(sources[i].c_str(), copies[i].c_str(), TRUE);
      bare.push_back(watch.ElapsedMs());
    }
    ok = EmptyFolder(target) == kFiles;
  }
  for (const std::wstring& folder : folders) {
    EmptyFolder(folder);
    RemoveDirectoryW(folder.c_str());
  }
  RemoveDirectoryW(container.c_str());
  RemoveDirectoryW(target.c_str());
  if (!ok) return {kFiles};
  return {kFiles, Median(program), Median(bare)};
}

}  // namespace tallow::bench

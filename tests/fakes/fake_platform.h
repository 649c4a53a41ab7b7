// An in-memory stand-in for the operating system: a folder tree whose listing order and
// failures a test controls, and a record of every message, copy, open and delete.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lists/string_list.h"
#include "platform/platform.h"
#include "window/controls.h"

namespace tallow::testing {

struct ShownMessage {
  std::wstring text;
  std::wstring title;
  MessageIcon icon;
};

class FakePlatform : public Platform {
 public:
  // Folders are keyed by their path ending in "\"; entries are listed in insertion order.
  struct Entry {
    std::wstring name;
    bool directory = false;
    bool undeletable = false;  // read-only or held open elsewhere
    bool link = false;
  };

  std::optional<std::wstring> cache_path = std::wstring(L"C:\\Cache");
  std::map<std::wstring, std::vector<Entry>> folders;
  std::vector<std::wstring> unlistable;  // folders whose listing fails

  std::vector<ShownMessage> messages;
  std::vector<ShownMessage> questions;  // Yes-or-No boxes
  bool answer_yes = false;
  std::vector<size_t> progress_totals;
  std::vector<size_t> progress_steps;
  size_t cancel_at_step = SIZE_MAX;                                 // the step at which the user cancels
  std::map<std::wstring, std::optional<std::wstring>> shell_paths;  // the path itself when missing
  std::vector<std::wstring> dangerous_types;
  std::vector<std::wstring> marked;
  std::vector<std::wstring> deleted;
  std::vector<std::wstring> opened;
  std::vector<std::wstring> opened_verbs;
  std::vector<ShellCopyRecord> copies;
  std::optional<std::wstring> picked_folder;  // nullopt: the user cancels
  std::vector<std::wstring> picker_titles;
  // What happens while a question or a progress dialog is up: the window still serves messages.
  std::function<void()> while_asking;
  std::function<void()> while_working;
  int copy_result = 0;
  bool copy_writes = true;                           // false: the shell reports success but keeps what was there
  std::map<std::wstring, std::wstring> copied_from;  // files outside the cache, by whose bytes they hold
  std::vector<std::wstring> discarded;
  bool copy_aborted = false;
  int paths_equal_calls = 0;
  size_t special_folder_calls = 0;  // once per scan

  // Folder ids by path; each folder gets its own when added.
  std::map<std::wstring, uint64_t> folder_ids;
  uint64_t last_folder_id = 0;

  // Adds a folder (with "." and "..") and returns its path ending in "\".
  std::wstring AddFolder(const std::wstring& path) {
    std::wstring key = path.back() == L'\\' ? path : path + L'\\';
    auto& entries = folders[key];
    if (entries.empty()) entries = {{L".", true}, {L"..", true}};
    folder_ids.try_emplace(key, ++last_folder_id);
    return key;
  }
  // Puts other folders, alike in names and entries, in the place of the folder (ending in "\")
  // and of every folder below it, as a rename and a copy by another program would.
  void ReplaceFolder(const std::wstring& path) {
    for (auto& [folder, id] : folder_ids) {
      if (folder.starts_with(path)) id = ++last_folder_id;
    }
  }
  void AddFile(const std::wstring& folder, const std::wstring& name, bool undeletable = false) {
    folders[AddFolder(folder)].push_back({name, false, undeletable});
  }
  // Adds a sub-folder, or a link to one, and returns its path ending in "\".
  std::wstring AddSubfolder(const std::wstring& folder, const std::wstring& name, bool link = false) {
    const std::wstring parent = AddFolder(folder);
    auto& entries = folders[parent];
    if (std::ranges::find(entries, name, &Entry::name) == entries.end()) entries.push_back({name, true, false, link});
    return AddFolder(parent + name);
  }
  // The cache's container of that name ("Content.IE5", "Low\\IE", ...), ending in "\".
  std::wstring Container(const std::wstring& name = L"Content.IE5") {
    std::wstring path = cache_path.value_or(L"") + L"\\";
    for (size_t start = 0; start <= name.size();) {
      const size_t end = std::min(name.find(L'\\', start), name.size());
      path = AddSubfolder(path, name.substr(start, end - start));
      start = end + 1;
    }
    return path;
  }

  std::optional<std::wstring> SpecialFolderPath(int csidl) override {
    ++special_folder_calls;
    if (csidl != kCsidlInternetCache) return std::wstring();
    return cache_path;
  }

  bool EnumerateDirectory(const std::wstring& path, unsigned, const EntrySink& sink) override {
    for (const auto& bad : unlistable) {
      if (bad == path) return false;
    }
    auto it = folders.find(path);
    if (it == folders.end()) return false;
    const std::vector<Entry> snapshot = it->second;
    for (const Entry& e : snapshot) sink({e.name, e.directory, e.link});
    return true;
  }

  // The scan asks only for folders it listed as no links.
  std::optional<FolderId> FolderIdOf(const std::wstring& path) override {
    const auto id = folder_ids.find(path);
    return id == folder_ids.end() ? std::nullopt : std::optional<FolderId>(FolderId{1, id->second});
  }

  // Deletes by where the entry was listed, only in the very folder listed; a folder that has
  // become a link is not entered.
  class FakeRemover : public CacheFileRemover {
   public:
    explicit FakeRemover(FakePlatform& platform) : platform_(platform) {}
    RemoveResult Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& id,
                        std::wstring_view name) override {
      const auto parent = platform_.folders.find(std::wstring(container));
      const auto folder = platform_.folders.find(std::wstring(container) + std::wstring(bucket) + L'\\');
      if (parent == platform_.folders.end() || folder == platform_.folders.end()) return {RemoveOutcome::kNotListed};
      if (platform_.FolderIdOf(folder->first) != id) return {RemoveOutcome::kNotListed};
      const auto bucket_entry = std::ranges::find(parent->second, bucket, &Entry::name);
      if (bucket_entry == parent->second.end() || bucket_entry->link) return {RemoveOutcome::kNotListed};
      auto& entries = folder->second;
      const auto entry = std::ranges::find(entries, name, &Entry::name);
      if (entry == entries.end()) return {RemoveOutcome::kGone};
      if (entry->directory || entry->link) return {RemoveOutcome::kNotListed};
      if (entry->undeletable) return {RemoveOutcome::kFailed, kAccessDenied};
      entries.erase(entry);
      platform_.deleted.push_back(folder->first + std::wstring(name));
      return {RemoveOutcome::kRemoved};
    }

   private:
    FakePlatform& platform_;
  };
  std::unique_ptr<CacheFileRemover> BeginRemoving() override { return std::make_unique<FakeRemover>(*this); }

  static constexpr uint32_t kAccessDenied = 5;
  std::wstring FailureText(uint32_t status) override { return L"失败 " + std::to_wstring(status); }

  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }
  bool AskYesNo(const std::wstring& text, const std::wstring& title) override {
    questions.push_back({text, title, MessageIcon::kExclamation});
    if (while_asking) while_asking();
    return answer_yes;
  }

  class FakeProgress : public Progress {
   public:
    explicit FakeProgress(FakePlatform& platform) : platform_(platform) {}
    bool Step(size_t done) override {
      platform_.progress_steps.push_back(done);
      if (platform_.while_working) platform_.while_working();
      return platform_.progress_steps.size() <= platform_.cancel_at_step;
    }

   private:
    FakePlatform& platform_;
  };
  std::unique_ptr<Progress> BeginProgress(size_t total, const std::wstring&) override {
    progress_totals.push_back(total);
    return std::make_unique<FakeProgress>(*this);
  }

  static wchar_t Fold(wchar_t c) { return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))); }
  bool PathsEqual(std::wstring_view a, std::wstring_view b) override {
    ++paths_equal_calls;
    return std::ranges::equal(a, b, {}, Fold, Fold);
  }
  uint64_t PathHash(std::wstring_view text, uint64_t from) override { return HashUnits(text, from, Fold); }

  std::optional<std::wstring> PickFolder(const std::wstring& title) override {
    picker_titles.push_back(title);
    return picked_folder;
  }
  int ShellFileOperation(ShellCopyRecord& record) override {
    copies.push_back(record);
    record.any_operations_aborted = copy_aborted;
    // The shell takes a drive root's doubled separator as one.
    std::wstring to = record.to;
    if (const size_t doubled = to.find(L"\\\\", 1); doubled != std::wstring::npos) to.erase(doubled, 1);
    if (copy_result == 0 && !copy_aborted && copy_writes) {
      copied_from[to] = record.from;
    }
    return copy_result;
  }
  bool SameContents(const std::wstring& a, const std::wstring& b) override {
    const auto it = copied_from.find(b);
    return it != copied_from.end() && it->second == a;
  }
  bool DiscardPartialCopy(const std::wstring& path, const std::wstring& source) override {
    discarded.push_back(path);
    const auto it = copied_from.find(path);
    if (it == copied_from.end() || it->second != source) return false;
    copied_from.erase(it);
    return true;
  }
  // Copies into copied_from, each marked; a name taken by a copy or a folder is left alone, and
  // a source no longer in its folder is gone.
  class FakeSaver : public FolderSaver {
   public:
    FakeSaver(FakePlatform& platform, std::wstring folder) : platform_(platform), folder_(std::move(folder)) {
      if (!folder_.ends_with(L'\\')) folder_ += L'\\';
    }
    SaveResult SaveNew(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) override {
      if (platform_.KindOf(folder_ + std::wstring(name)) != EntryKind::kNone) return {SaveOutcome::kNameTaken};
      return Replace(source, name, progress);
    }
    SaveResult Replace(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) override {
      const size_t slash = source.rfind(L'\\');
      const auto folder = platform_.folders.find(source.substr(0, slash + 1));
      if (folder == platform_.folders.end() ||
          std::ranges::find(folder->second, source.substr(slash + 1), &Entry::name) == folder->second.end()) {
        return {SaveOutcome::kGone};
      }
      if (progress && !progress(0, 1)) return {SaveOutcome::kCancelled};
      const std::wstring target = folder_ + std::wstring(name);
      platform_.copied_from[target] = source;
      platform_.marked.push_back(target);
      return {SaveOutcome::kSaved};
    }

   private:
    FakePlatform& platform_;
    std::wstring folder_;
  };
  std::unique_ptr<FolderSaver> BeginSaving(const std::wstring& folder) override {
    return std::make_unique<FakeSaver>(*this, folder);
  }
  bool OpenWithDefaultProgram(const std::wstring& path, const std::wstring&, const std::wstring& verb) override {
    opened.push_back(path);
    opened_verbs.push_back(verb);
    return true;
  }
  std::optional<std::wstring> ShellPath(const std::wstring& path) override {
    const auto it = shell_paths.find(path);
    return it == shell_paths.end() ? path : it->second;
  }
  bool IsFolder(const std::wstring& path) const {
    const size_t slash = path.rfind(L'\\');
    const auto it = folders.find(path.substr(0, slash + 1));
    if (slash == std::wstring::npos || it == folders.end()) return false;
    const auto entry = std::ranges::find(it->second, path.substr(slash + 1), &Entry::name);
    return entry != it->second.end() && entry->directory;
  }
  EntryKind KindOf(const std::wstring& path) override {
    if (IsFolder(path)) return EntryKind::kFolder;
    return copied_from.contains(path) ? EntryKind::kFile : EntryKind::kNone;
  }
  bool IsDangerousType(const std::wstring& extension) override {
    return std::ranges::find(dangerous_types, extension) != dangerous_types.end();
  }
  bool MarkFromInternet(const std::wstring& path) override {
    marked.push_back(path);
    return true;
  }

  // What opens each type; any other is a picture, with a program that shows it.
  std::map<std::wstring, TypeProgram> programs;
  TypeProgram ProgramForType(const std::wstring& extension) override {
    const auto it = programs.find(extension);
    return it == programs.end() ? TypeProgram{L"viewer.exe \"%1\"", false, true} : it->second;
  }
};

// A list kept in memory, standing in for the extension chooser.
class MemoryStringList : public StringList {
 public:
  int Count() const override { return static_cast<int>(items.size()); }
  std::wstring Item(int index) const override {
    return index < 0 || index >= Count() ? std::wstring() : items[static_cast<size_t>(index)];
  }
  void Append(std::wstring_view text) override { items.emplace_back(text); }
  int CurrentIndex() const override { return current; }
  void SetCurrentIndex(int index) override {
    if (index >= -1 && index < Count()) current = index;
  }
  void SetAccessibleName(std::wstring_view name) override { accessible_name = name; }

  std::vector<std::wstring> items;
  std::wstring accessible_name;
  int current = -1;
};

// The names list: rows, which of them is current, and which are selected.
class FakeNamesList : public NamesList {
 public:
  void ShowRows(int count) override {
    rows = count;
    current = -1;
    selected.clear();
  }
  int Count() const override { return rows; }
  int CurrentIndex() const override { return current; }
  // The rows Select picked, as Ctrl and Shift clicks would, first to last; else the current one.
  std::vector<int> SelectedRows() const override { return selected.empty() ? NamesList::SelectedRows() : selected; }
  void Focus() override { ++focused; }
  void SetHorizontalExtent(int pixels) override { extent = pixels; }
  void SetAccessibleName(std::wstring_view name) override { accessible_name = name; }
  // Picks a row as a click would: it alone is selected.
  void Pick(int row) {
    if (row >= -1 && row < rows) current = row;
    selected.clear();
  }
  void Select(std::vector<int> rows_picked) { selected = std::move(rows_picked); }

  int rows = 0;
  int current = -1;
  std::vector<int> selected;
  int focused = 0;
  int extent = 0;
  std::wstring accessible_name;
};

class FakeTextBox : public TextBox {
 public:
  std::wstring text = L".";
  int sel_length = 0;
  std::wstring Text() const override { return text; }
  void SetSelLength(int length) override { sel_length = length; }
  void SetAccessibleName(std::wstring_view name) override { accessible_name = name; }
  std::wstring accessible_name;
};

class FakeButton : public Button {
 public:
  std::wstring caption;
  void SetCaption(std::wstring_view c) override { caption = c; }
};

class FakeHost : public FormHost {
 public:
  bool shown = false;
  bool on_top = false;
  std::vector<std::pair<int, int>> popups;
  void Show() override { shown = true; }
  void KeepOnTop() override { on_top = true; }
  void ShowPopupMenu(int x, int y) override { popups.emplace_back(x, y); }
};

}  // namespace tallow::testing

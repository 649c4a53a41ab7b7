// An in-memory stand-in for the operating system: a folder tree whose listing order and
// failures a test controls, and a record of every message, copy, open and delete.
#pragma once

#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
  };

  std::optional<std::wstring> cache_path = std::wstring(L"C:\\Cache");
  std::map<std::wstring, std::vector<Entry>> folders;
  std::vector<std::wstring> unlistable;  // folders whose listing fails

  std::vector<ShownMessage> messages;
  std::vector<std::wstring> deleted;
  std::vector<std::wstring> opened;
  std::vector<ShellCopyRecord> copies;
  std::optional<std::wstring> picked_folder;  // nullopt: the user cancels
  std::vector<std::wstring> picker_titles;
  int copy_result = 0;
  bool copy_aborted = false;
  int text_equal_calls = 0;

  // Adds a folder (with "." and "..") and returns its path ending in "\".
  std::wstring AddFolder(const std::wstring& path) {
    std::wstring key = path.back() == L'\\' ? path : path + L'\\';
    auto& entries = folders[key];
    if (entries.empty()) entries = {{L".", true}, {L"..", true}};
    return key;
  }
  void AddFile(const std::wstring& folder, const std::wstring& name, bool undeletable = false) {
    folders[AddFolder(folder)].push_back({name, false, undeletable});
  }
  void AddSubfolder(const std::wstring& folder, const std::wstring& name) {
    const std::wstring parent = AddFolder(folder);
    folders[parent].push_back({name, true});
    AddFolder(parent + name);
  }
  std::wstring CacheRoot() const { return cache_path.value_or(L"") + L"\\Content.IE5\\"; }

  std::optional<std::wstring> SpecialFolderPath(int csidl) override {
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
    for (const Entry& e : snapshot) sink(e.name);
    return true;
  }

  bool RemoveFile(const std::wstring& path) override {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return false;
    auto it = folders.find(path.substr(0, slash + 1));
    if (it == folders.end()) return false;
    auto& entries = it->second;
    for (auto e = entries.begin(); e != entries.end(); ++e) {
      if (e->name != path.substr(slash + 1)) continue;
      if (e->directory || e->undeletable) return false;
      entries.erase(e);
      deleted.push_back(path);
      return true;
    }
    return false;
  }

  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }

  static std::wstring Fold(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
  }
  bool TextEqual(std::wstring_view a, std::wstring_view b) override {
    ++text_equal_calls;
    return Fold(a) == Fold(b);
  }
  std::wstring TextKey(std::wstring_view text) override { return Fold(text); }

  std::optional<std::wstring> PickFolder(const std::wstring& title) override {
    picker_titles.push_back(title);
    return picked_folder;
  }
  int ShellFileOperation(ShellCopyRecord& record) override {
    copies.push_back(record);
    record.any_operations_aborted = copy_aborted;
    return copy_result;
  }
  bool OpenWithDefaultProgram(const std::wstring& path) override {
    opened.push_back(path);
    return true;
  }
};

class FakeTextBox : public TextBox {
 public:
  std::wstring text = L".";
  int sel_length = 0;
  std::wstring Text() const override { return text; }
  void SetSelLength(int length) override { sel_length = length; }
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

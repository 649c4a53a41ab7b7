// Drives the real main window under Wine and Xvfb: a platform that counts scans, real keyboard
// and mouse input through the program's own message loop, and a small cache tree of the test's
// own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "window/win32/main_window.h"

namespace tallow::gui {

// Presses the keys in order and releases them in reverse.
bool SendChord(std::initializer_list<WORD> keys);
// Presses the left button at one point of the screen and releases it at another.
bool Drag(POINT from, POINT to);

using testing::DialogWatcher;
using testing::Exists;
using testing::ReadBytes;
using testing::RemoveTree;
using testing::SeenDialog;
using testing::WriteBytes;

// Passes everything to the machine's platform, counting scans and recording messages. Message
// boxes reach the screen only when a test asks for them, so that no test can block in one.
class RecordingPlatform final : public Platform {
 public:
  RecordingPlatform();
  ~RecordingPlatform() override;
  void SetOwner(HWND owner);

  int scans = 0;
  bool real_message_boxes = false;
  // The folder picker, the shell's copy and opening a file reach the machine too: for the tests
  // of what the file actions really do to the disk.
  bool real_shell = false;
  // Answers the folder picker without showing it.
  std::optional<std::wstring> picked_folder;
  struct Message {
    std::wstring text, title;
    MessageIcon icon;
  };
  std::vector<Message> messages;
  std::vector<std::wstring> opened;
  // Yes-or-No boxes, answered by answer_yes unless they reach the screen.
  std::vector<Message> questions;
  bool answer_yes = false;
  // Each delete takes this long: for work long enough to show its progress.
  DWORD remove_delay_ms = 0;

  std::optional<std::wstring> SpecialFolderPath(int csidl) override;
  bool EnumerateDirectory(const std::wstring& path, unsigned attr_mask, const EntrySink& sink) override;
  std::optional<FolderId> FolderIdOf(const std::wstring& path) override;
  std::unique_ptr<CacheFileRemover> BeginRemoving() override;
  std::wstring FailureText(uint32_t status) override;
  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;
  bool PathsEqual(std::wstring_view a, std::wstring_view b) override;
  uint64_t PathHash(std::wstring_view text, uint64_t from = kHashStart) override;
  std::optional<std::wstring> PickFolder(const std::wstring& title) override;
  int ShellFileOperation(ShellCopyRecord& record) override;
  bool OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type, const std::wstring& verb) override;
  bool AskYesNo(const std::wstring& text, const std::wstring& title) override;
  std::unique_ptr<Progress> BeginProgress(size_t total, const std::wstring& title = L"全部删除") override;
  std::optional<std::wstring> ShellPath(const std::wstring& path) override;
  EntryKind KindOf(const std::wstring& path) override;
  bool SameContents(const std::wstring& a, const std::wstring& b) override;
  bool DiscardPartialCopy(const std::wstring& path, const std::wstring& source) override;
  std::unique_ptr<FolderSaver> BeginSaving(const std::wstring& folder) override;
  bool IsDangerousType(const std::wstring& extension) override;
  bool MarkFromInternet(const std::wstring& path) override;
  // The machine's associations with real_shell; otherwise every type is a picture, with a
  // program that shows it.
  TypeProgram ProgramForType(const std::wstring& extension) override;

 private:
  struct Inner;
  std::unique_ptr<Inner> inner_;
};

// A bucket folder of the test's own in the prefix's cache, removed with everything in it.
class TestBucket {
 public:
  TestBucket();
  ~TestBucket();
  TestBucket(const TestBucket&) = delete;
  TestBucket& operator=(const TestBucket&) = delete;

  const std::wstring& path() const { return path_; }  // ends in "\"
  // The cache's Content.IE5 folder that holds the bucket; ends in "\".
  static std::wstring ContentFolder();
  bool AddFile(const std::wstring& name, std::string_view bytes = "x", DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  bool AddFolder(const std::wstring& name);
  // The folder's entries as the file system lists them, "." and ".." included.
  std::vector<std::wstring> Listing() const;

 private:
  std::wstring path_;
  bool made_content_folder_ = false;
};

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Window() const { return window_->hwnd(); }
  HWND Control(int id) const { return window_->Control(id); }
  MainWindow& window() { return *window_; }
  // The full paths behind the names list, index for index.
  std::vector<std::wstring> ListedPaths() const;

  // Processes what is queued now, through the program's own message loop.
  void PumpPending();
  // Processes messages until the condition holds or a generous deadline passes.
  bool PumpUntil(const std::function<bool()>& condition);
  // A real key press, with a modifier key held; returns once the window has processed its release.
  bool PressKey(WORD key, WORD modifier = 0);
  // A real click at a point in a control's client area.
  bool Click(HWND control, POINT at, bool right = false, WORD modifier = 0);
  // A click whose release a modal loop of the control may take (a scroll bar's): done tells
  // when the click has had its effect.
  bool ClickUntil(HWND control, POINT at, const std::function<bool()>& done);
  // With done, for a double-click whose release a modal box of the window may take: done says it
  // had its effect.
  bool DoubleClick(HWND control, POINT at, const std::function<bool()>& done = nullptr);
  bool Wheel(HWND control, int notches);
  // The middle of a list box entry, in the list's client coordinates.
  static POINT EntryPoint(HWND list, int index);
  // Picks an extension with the keyboard: Combo1 focused, arrows until it is current.
  bool PickByKeyboard(std::wstring_view extension);

  RecordingPlatform platform_;
  std::unique_ptr<MainWindow> window_;

 private:
  static LRESULT CALLBACK RecordMessage(int code, WPARAM removal, LPARAM message);
  bool WaitForRelease(UINT up_message, WPARAM key, int count = 1);
  // Every message taken from this thread's queue while the test runs, recorded by a hook so
  // that the program's loop processes them unobserved.
  static std::vector<MSG> seen_;
  win32::UniqueHandleOf<HHOOK, &UnhookWindowsHookEx> record_hook_;
};

}  // namespace tallow::gui

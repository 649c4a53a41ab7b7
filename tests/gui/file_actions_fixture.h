// The window over a bucket of the test's own, with the real message boxes, folder picker and
// shell copy, for the tests of what the popup menu's actions do to real files.
#pragma once

#include <algorithm>
#include <atomic>

#include "gui_harness.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace tallow::gui {

using Strings = std::vector<std::wstring>;

inline Strings Sorted(Strings names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A file or folder the test makes outside its bucket, removed with the test.
struct OwnedPath {
  explicit OwnedPath(std::wstring p) : path(std::move(p)) {}
  ~OwnedPath() { RemoveTree(path); }
  OwnedPath(const OwnedPath&) = delete;
  OwnedPath& operator=(const OwnedPath&) = delete;
  std::wstring path;
};

class FileActionsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    platform_.real_message_boxes = true;
    platform_.real_shell = true;
  }

  HWND list() const { return Control(IDC_LIST1); }

  // Makes the listed file current with a click on its name.
  bool Select(const std::wstring& path) {
    const Strings paths = ListedPaths();
    for (size_t i = 0; i < paths.size(); ++i) {
      if (paths[i] != path) continue;
      SendMessageW(list(), LB_SETTOPINDEX, i, 0);
      PumpPending();
      return Click(list(), EntryPoint(list(), static_cast<int>(i))) && window().form().CurrentPath() == path;
    }
    return false;
  }

  Strings MyListedPaths() {
    Strings mine;
    for (const std::wstring& path : ListedPaths()) {
      if (path.starts_with(bucket_.path())) mine.push_back(path);
    }
    return Sorted(mine);
  }

  static std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
  }

  // Reads what a Yes-or-No box offers, then answers it.
  DialogWatcher::Answer ReadChoicesThenPress(int button) {
    return [this, button](HWND box) {
      auto is_default = [box](int id) {
        return (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      };
      no_is_default_ = is_default(IDNO) && !is_default(IDYES);
      yes_and_no_only_ = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK);
      testing::PressButton(box, button);
      return true;
    };
  }

  // Real input whose release a modal box of the window may take: done says it had its effect.
  bool SendUntil(std::vector<INPUT> inputs, const std::function<bool()>& done) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size() &&
           PumpUntil(done);
  }
  static INPUT Input(DWORD type, WORD key, DWORD flags) {
    INPUT input{};
    input.type = type;
    if (type == INPUT_KEYBOARD) {
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
    } else {
      input.mi.dwFlags = flags;
    }
    return input;
  }

  void ExpectCautionBox(const SeenDialog& box, const std::wstring& text) {
    EXPECT_EQ(box.title, L"提醒 —— Quistemar");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(box.owner, Window());
    EXPECT_TRUE(no_is_default_);
    EXPECT_TRUE(yes_and_no_only_);
  }

  std::atomic<bool> no_is_default_{false};
  std::atomic<bool> yes_and_no_only_{false};
  TestBucket bucket_;
  OwnedPath target_{TempFolder() + L"保存 目标 " + std::to_wstring(GetCurrentProcessId())};
};

}  // namespace tallow::gui

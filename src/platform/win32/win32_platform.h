// The platform on Windows: the shell, the file system and message boxes through the wide APIs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "search/text_key.h"

namespace tallow {

class Win32Platform final : public Platform {
 public:
  // Initialises COM on the calling thread, which must be the UI thread.
  Win32Platform();

  // The window that owns message boxes, the folder picker and the shell's copy dialogs; the
  // main window stays on top, so a dialog without this owner could open hidden behind it.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  std::optional<std::wstring> SpecialFolderPath(int csidl) override;
  bool EnumerateDirectory(const std::wstring& path, unsigned attr_mask, const EntrySink& sink) override;
  bool RemoveFile(const std::wstring& path) override;
  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;
  bool TextEqual(std::wstring_view a, std::wstring_view b) override;
  std::wstring TextKey(std::wstring_view text) override;
  uint64_t TextKeyHash(std::wstring_view text, uint64_t from = kTextKeyHashStart) override;
  std::optional<std::wstring> PickFolder(const std::wstring& title) override;
  int ShellFileOperation(ShellCopyRecord& record) override;
  bool OpenWithDefaultProgram(const std::wstring& path) override;

 private:
  bool AsciiCaseIsPlain();

  win32::ComApartment com_;
  HWND owner_ = nullptr;
  TextKeyBuilder keys_;
  std::optional<bool> ascii_case_is_plain_;  // learnt from the locale on first use
};

}  // namespace tallow

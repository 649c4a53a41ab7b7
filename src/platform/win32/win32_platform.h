// The platform on Windows: the shell, the file system and message boxes through the wide APIs.
#pragma once

#include <windows.h>
// The shell's headers build on <windows.h>.
#include <shlwapi.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/cache_remover.h"
#include "platform/win32/handles.h"

namespace tallow {

class Win32Platform final : public Platform {
 public:
  // COM is initialised on the constructing thread, which must be the UI thread.
  // The window that owns message boxes, the folder picker and the shell's copy dialogs; the
  // main window stays on top, so a dialog without this owner could open hidden behind it.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }
  // How the scan and the deletes read what an entry is; tests stand in for volumes this way.
  void SetHandleQueries(HandleQueries queries) { queries_ = std::move(queries); }

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
  bool OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type = {},
                              const std::wstring& verb = {}) override;
  bool AskYesNo(const std::wstring& text, const std::wstring& title) override;
  std::unique_ptr<Progress> BeginProgress(size_t total, const std::wstring& title = L"全部删除") override;
  std::optional<std::wstring> ShellPath(const std::wstring& path) override;
  EntryKind KindOf(const std::wstring& path) override;
  bool SameContents(const std::wstring& a, const std::wstring& b) override;
  bool DiscardPartialCopy(const std::wstring& path, const std::wstring& source) override;
  std::unique_ptr<FolderSaver> BeginSaving(const std::wstring& folder) override;
  bool IsDangerousType(const std::wstring& extension) override;
  bool MarkFromInternet(const std::wstring& path) override;
  TypeProgram ProgramForType(const std::wstring& extension) override;

 private:
  using AssocIsDangerousFn = BOOL(WINAPI*)(PCWSTR);
  using AssocQueryStringFn = decltype(&AssocQueryStringW);
  using AssocGetPerceivedTypeFn = decltype(&AssocGetPerceivedType);

  // Finds the shell's type functions in the system's shlwapi, on first use; they are looked up
  // at run time so that no DLL is imported from anywhere else.
  void LoadShlwapi();

  // A text the shell's associations give for the extension, for the verb (the default one when
  // empty); empty when there is none.
  std::wstring AssocText(ASSOCSTR what, const std::wstring& extension, const std::wstring& verb = {});
  // True when the system perceives the type as a picture, a sound or a video.
  bool PerceivedAsMedia(const std::wstring& extension);

  // Modal to the owner, brought to the foreground; returns the button pressed.
  int ShowBox(const std::wstring& text, const std::wstring& title, UINT flags) const;

  win32::ComApartment com_;
  win32::UniqueHmodule shlwapi_;
  AssocIsDangerousFn assoc_is_dangerous_ = nullptr;
  AssocQueryStringFn assoc_query_string_ = nullptr;
  AssocGetPerceivedTypeFn assoc_get_perceived_type_ = nullptr;
  bool shlwapi_loaded_ = false;
  HWND owner_ = nullptr;
  HandleQueries queries_;
  std::vector<wchar_t> upper_case_;  // per code unit, learnt on first use
};

}  // namespace tallow

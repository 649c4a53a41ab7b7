// The shell's standard progress dialog for a long piece of work on the UI thread.
#pragma once

#include <windows.h>
// The shell's interfaces build on <windows.h>.
#include <shlobj.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace tallow {

class ShellProgress final : public Progress {
 public:
  ShellProgress(HWND owner, size_t total, std::wstring title);
  ~ShellProgress() override;
  ShellProgress(const ShellProgress&) = delete;
  ShellProgress& operator=(const ShellProgress&) = delete;

  bool Step(size_t done) override;

 private:
  void Show();

  HWND owner_;
  std::wstring title_;
  size_t total_;
  ULONGLONG started_;
  ULONGLONG last_update_ = 0;
  bool shown_ = false;  // or tried to be: one dialog at most
  bool owner_was_enabled_ = false;
  win32::UniqueComPtr<IProgressDialog> dialog_;
};

}  // namespace tallow

#include "platform/win32/shell_progress.h"

#include <utility>

namespace tallow {

namespace {

// Work that ends sooner needs no dialog; one that flashes up and goes would only distract.
constexpr ULONGLONG kShowAfterMs = 1000;
// How often the dialog hears of the progress and the user's Cancel is looked at.
constexpr ULONGLONG kUpdateEveryMs = 50;

// Paints the main window and answers what other threads send it (the dialog's own thread
// among them), so that neither looks hung; input waits until the work is done.
void ServePaintAndSentMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&message);
}

}  // namespace

ShellProgress::ShellProgress(HWND owner, size_t total, std::wstring title)
    : owner_(owner), title_(std::move(title)), total_(total), started_(GetTickCount64()) {}

ShellProgress::~ShellProgress() {
  if (!dialog_) return;
  dialog_->StopProgressDialog();
  dialog_.reset();
  // Not every implementation gives the main window back its input and the activation.
  if (owner_was_enabled_) {
    EnableWindow(owner_, TRUE);
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    if (process == 0 || process == GetCurrentProcessId()) SetForegroundWindow(owner_);
  }
}

bool ShellProgress::Step(size_t done) {
  const ULONGLONG now = GetTickCount64();
  if (now - last_update_ < kUpdateEveryMs) return true;
  last_update_ = now;
  if (!shown_ && now - started_ >= kShowAfterMs) Show();
  if (!dialog_) return true;
  dialog_->SetProgress64(done, total_);
  ServePaintAndSentMessages();
  return !dialog_->HasUserCancelled();
}

void ShellProgress::Show() {
  shown_ = true;
  win32::UniqueComPtr<IProgressDialog> dialog =
      win32::CreateComObject<IProgressDialog>(CLSID_ProgressDialog, IID_IProgressDialog);
  if (!dialog) return;
  dialog->SetTitle(title_.c_str());
  owner_was_enabled_ = owner_ && IsWindowEnabled(owner_);
  if (FAILED(dialog->StartProgressDialog(owner_, nullptr, PROGDLG_MODAL | PROGDLG_AUTOTIME | PROGDLG_NOMINIMIZE,
                                         nullptr))) {
    return;
  }
  dialog_ = std::move(dialog);
  dialog_->SetProgress64(0, total_);
  // Modal: the main window takes no input meanwhile, which not every implementation sees to.
  if (owner_was_enabled_) EnableWindow(owner_, FALSE);
}

}  // namespace tallow

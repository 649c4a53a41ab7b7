#include "gui_harness.h"

#include <shlobj.h>

#include <chrono>

#include "platform/win32/win32_platform.h"
#include "res/resource.h"
#include "window/win32/message_loop.h"

namespace tallow::gui {

namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

std::wstring CacheContentFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE | CSIDL_FLAG_CREATE, nullptr, 0, path))) return {};
  return std::wstring(path) + L"\\Content.IE5\\";
}

bool Send(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags, LONG data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = static_cast<DWORD>(data);
  return input;
}

}  // namespace

// The program's own platform underneath; only the file operations that would open dialogs or
// other programs (folder picker, shell copy, open) stay recorded here.
struct RecordingPlatform::Inner {
  Win32Platform real;
};

RecordingPlatform::RecordingPlatform() : inner_(std::make_unique<Inner>()) {}
RecordingPlatform::~RecordingPlatform() = default;
void RecordingPlatform::SetOwner(HWND owner) { inner_->real.SetOwner(owner); }

std::optional<std::wstring> RecordingPlatform::SpecialFolderPath(int csidl) {
  ++scans;  // every scan asks for the cache folder exactly once
  return inner_->real.SpecialFolderPath(csidl);
}

bool RecordingPlatform::EnumerateDirectory(const std::wstring& path, unsigned attr_mask, const EntrySink& sink) {
  return inner_->real.EnumerateDirectory(path, attr_mask, sink);
}

namespace {

// The machine's deletes, each made to take a while when a test asks.
class SlowRemover final : public CacheFileRemover {
 public:
  SlowRemover(std::unique_ptr<CacheFileRemover> real, DWORD delay_ms) : real_(std::move(real)), delay_ms_(delay_ms) {}
  RemoveResult Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& folder,
                      std::wstring_view name) override {
    if (delay_ms_) Sleep(delay_ms_);
    return real_->Remove(container, bucket, folder, name);
  }

 private:
  std::unique_ptr<CacheFileRemover> real_;
  DWORD delay_ms_;
};

}  // namespace

std::optional<FolderId> RecordingPlatform::FolderIdOf(const std::wstring& path) {
  return inner_->real.FolderIdOf(path);
}

std::unique_ptr<CacheFileRemover> RecordingPlatform::BeginRemoving() {
  return std::make_unique<SlowRemover>(inner_->real.BeginRemoving(), remove_delay_ms);
}

std::wstring RecordingPlatform::FailureText(uint32_t status) { return inner_->real.FailureText(status); }

void RecordingPlatform::ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
  messages.push_back({text, title, icon});
  if (real_message_boxes) inner_->real.ShowMessage(text, title, icon);
}

bool RecordingPlatform::PathsEqual(std::wstring_view a, std::wstring_view b) { return inner_->real.PathsEqual(a, b); }

uint64_t RecordingPlatform::PathHash(std::wstring_view text, uint64_t from) {
  return inner_->real.PathHash(text, from);
}

std::optional<std::wstring> RecordingPlatform::PickFolder(const std::wstring& title) {
  if (picked_folder) return picked_folder;
  if (real_shell) return inner_->real.PickFolder(title);
  return std::nullopt;
}

int RecordingPlatform::ShellFileOperation(ShellCopyRecord& record) {
  if (real_shell) return inner_->real.ShellFileOperation(record);
  record.any_operations_aborted = true;
  return 1;
}

bool RecordingPlatform::OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type,
                                               const std::wstring& verb) {
  opened.push_back(path);
  return real_shell ? inner_->real.OpenWithDefaultProgram(path, type, verb) : true;
}

bool RecordingPlatform::AskYesNo(const std::wstring& text, const std::wstring& title) {
  questions.push_back({text, title, MessageIcon::kExclamation});
  return real_message_boxes ? inner_->real.AskYesNo(text, title) : answer_yes;
}

std::unique_ptr<Progress> RecordingPlatform::BeginProgress(size_t total, const std::wstring& title) {
  return inner_->real.BeginProgress(total, title);
}

std::optional<std::wstring> RecordingPlatform::ShellPath(const std::wstring& path) {
  return inner_->real.ShellPath(path);
}

EntryKind RecordingPlatform::KindOf(const std::wstring& path) { return inner_->real.KindOf(path); }
bool RecordingPlatform::SameContents(const std::wstring& a, const std::wstring& b) {
  return inner_->real.SameContents(a, b);
}
bool RecordingPlatform::DiscardPartialCopy(const std::wstring& path, const std::wstring& source) {
  return inner_->real.DiscardPartialCopy(path, source);
}
std::unique_ptr<FolderSaver> RecordingPlatform::BeginSaving(const std::wstring& folder) {
  return inner_->real.BeginSaving(folder);
}

bool RecordingPlatform::IsDangerousType(const std::wstring& extension) {
  return inner_->real.IsDangerousType(extension);
}

bool RecordingPlatform::MarkFromInternet(const std::wstring& path) { return inner_->real.MarkFromInternet(path); }

TypeProgram RecordingPlatform::ProgramForType(const std::wstring& extension) {
  return real_shell ? inner_->real.ProgramForType(extension) : TypeProgram{L"viewer.exe \"%1\"", false, true};
}

std::wstring TestBucket::ContentFolder() { return CacheContentFolder(); }

TestBucket::TestBucket() {
  const std::wstring content = CacheContentFolder();
  made_content_folder_ = CreateDirectoryW(content.c_str(), nullptr) != FALSE;
  // Eight characters without a dot, as the cache names its buckets; unique per process.
  wchar_t name[16] = {};
  swprintf(name, 16, L"GUI%05X", static_cast<unsigned>(GetCurrentProcessId()) & 0xFFFFF);
  path_ = content + name + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

TestBucket::~TestBucket() {
  RemoveTree(path_.substr(0, path_.size() - 1));
  if (made_content_folder_) RemoveDirectoryW(CacheContentFolder().c_str());  // only if now empty
}

bool TestBucket::AddFile(const std::wstring& name, std::string_view bytes, DWORD attributes) {
  return WriteBytes(path_ + name, bytes) && SetFileAttributesW((path_ + name).c_str(), attributes);
}

bool TestBucket::AddFolder(const std::wstring& name) { return CreateDirectoryW((path_ + name).c_str(), nullptr); }

std::vector<std::wstring> TestBucket::Listing() const { return testing::ListFolder(path_); }

std::vector<MSG> GuiTest::seen_;

LRESULT CALLBACK GuiTest::RecordMessage(int code, WPARAM removal, LPARAM message) {
  if (code == HC_ACTION && removal == PM_REMOVE) seen_.push_back(*reinterpret_cast<const MSG*>(message));
  return CallNextHookEx(nullptr, code, removal, message);
}

void GuiTest::SetUp() {
  seen_.clear();
  record_hook_.reset(SetWindowsHookExW(WH_GETMESSAGE, &RecordMessage, nullptr, GetCurrentThreadId()));
  ASSERT_TRUE(record_hook_);
  window_ = std::make_unique<MainWindow>(platform_);
  ASSERT_TRUE(window_->Create(true));
  platform_.SetOwner(window_->hwnd());
  SetForegroundWindow(window_->hwnd());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window_->hwnd(); }));
  PumpPending();
}

void GuiTest::TearDown() {
  window_.reset();
  // Closing posts WM_QUIT; left in the queue it would end the next test's modal loops at once.
  PumpPending();
  record_hook_.reset();
}

std::vector<std::wstring> GuiTest::ListedPaths() const {
  std::vector<std::wstring> paths;
  const CacheListing& listing = *window_->form().results().listing();
  for (size_t i = 0; i < listing.Count(); ++i) paths.push_back(listing.Path(i));
  return paths;
}

void GuiTest::PumpPending() {
  // A WM_QUIT ends one round only: what was queued behind it is processed too.
  while (DispatchWaitingMessages(window_ ? window_->hwnd() : nullptr, window_ ? window_->accelerators() : nullptr)) {
  }
}

bool GuiTest::PumpUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  for (;;) {
    PumpPending();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool GuiTest::WaitForRelease(UINT up_message, WPARAM key, int count) {
  const bool done = PumpUntil([&] {
    int releases = 0;
    for (const MSG& m : seen_) {
      if (m.message == up_message && (key == 0 || m.wParam == key)) ++releases;
    }
    return releases >= count;
  });
  seen_.clear();
  PumpPending();
  return done;
}

bool GuiTest::PressKey(WORD key, WORD modifier) {
  seen_.clear();
  std::vector<INPUT> inputs;
  if (modifier) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  if (modifier) inputs.push_back(KeyInput(modifier, true));
  return Send(inputs) && WaitForRelease(WM_KEYUP, modifier ? modifier : key);
}

bool GuiTest::Click(HWND control, POINT at, bool right, WORD modifier) {
  seen_.clear();
  ClientToScreen(control, &at);
  SetCursorPos(at.x, at.y);
  // Under Wine the pointer entering a window resets the modifiers to the X server's state: the
  // move is taken in before the key goes down.
  if (modifier) PumpUntil([] { return MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_TIMEOUT; });
  const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  std::vector<INPUT> inputs{KeyInput(modifier, false), MouseInput(down), MouseInput(up), KeyInput(modifier, true)};
  if (!modifier) inputs = {inputs[1], inputs[2]};
  return Send(inputs) && WaitForRelease(modifier ? WM_KEYUP : right ? WM_RBUTTONUP : WM_LBUTTONUP, modifier);
}

bool GuiTest::ClickUntil(HWND control, POINT at, const std::function<bool()>& done) {
  ClientToScreen(control, &at);
  SetCursorPos(at.x, at.y);
  return Send({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)}) && PumpUntil(done);
}

bool GuiTest::DoubleClick(HWND control, POINT at, const std::function<bool()>& done) {
  seen_.clear();
  ClientToScreen(control, &at);
  SetCursorPos(at.x, at.y);
  return Send({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP), MouseInput(MOUSEEVENTF_LEFTDOWN),
               MouseInput(MOUSEEVENTF_LEFTUP)}) &&
         (done ? PumpUntil(done) : WaitForRelease(WM_LBUTTONUP, 0, 2));
}

POINT GuiTest::EntryPoint(HWND list, int index) {
  RECT rect{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  return {rect.left + 20, (rect.top + rect.bottom) / 2};
}

bool GuiTest::Wheel(HWND control, int notches) {
  RECT rect{};
  GetWindowRect(control, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  seen_.clear();
  return Send({MouseInput(MOUSEEVENTF_WHEEL, -notches * WHEEL_DELTA)}) && WaitForRelease(WM_MOUSEWHEEL, 0);
}

bool GuiTest::PickByKeyboard(std::wstring_view extension) {
  StringList& combo = window_->combo1();
  for (int presses = 0; presses <= combo.Count(); ++presses) {
    if (combo.CurrentText() == extension) return true;
    // Each pick scans, and the scan moves the focus to the names list.
    SetFocus(Control(IDC_COMBO1));
    if (!PressKey(VK_DOWN)) return false;
  }
  return combo.CurrentText() == extension;
}

// Presses the keys in order and releases them in reverse.
bool SendChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (size_t i = keys.size(); i-- > 0;) {
    inputs.push_back(inputs[i]);
    inputs.back().ki.dwFlags = KEYEVENTF_KEYUP;
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// Presses the left button at one point of the screen and releases it at another.
bool Drag(POINT from, POINT to) {
  SetCursorPos(from.x, from.y);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dx = MulDiv(to.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  inputs[1].mi.dy = MulDiv(to.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

}  // namespace tallow::gui

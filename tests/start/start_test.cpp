// Starts Tallowmere.exe itself, through its real entry point and message loop: its window must
// show, and closing it must end the program with exit code 0. It runs from a folder of its own,
// as a download does, beside copies of a planted DLL named after DLLs that the start-up of the
// C runtime loads; none of them may load. Wine would load its own instead of any DLL by those
// names unless told otherwise, as CTest does (WINEDLLOVERRIDES="bcrypt,crypt32=n,b").
// Usage: start_test PROGRAM PLANTED_DLL.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/handles.h"
#include "support/files.h"
#include "window/win32/main_window.h"

namespace {

// Generous: Wine may still be loading its first program when this one starts.
constexpr DWORD kDeadlineMs = 60000;

int Fail(const char* what) {
  std::fprintf(stderr, "start_test: FAILED: %s (error %lu)\n", what, GetLastError());
  return 1;
}

struct Search {
  DWORD process;
  HWND found = nullptr;
};

// The program's main window, by its class and caption, if the process has one open.
HWND MainWindowOf(DWORD process) {
  Search search{process};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner != s.process || lstrcmpW(name, tallow::kMainWindowClass) != 0) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A folder of the test's own, removed with all it holds however the test ends.
struct OwnFolder {
  ~OwnFolder() { tallow::testing::RemoveTree(path); }
  std::wstring path;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: start_test PROGRAM PLANTED_DLL\n");
    return 2;
  }
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const OwnFolder folder{temp + tallow::testing::UniqueName(L"tallow-start-")};
  const std::wstring beside = folder.path + L'\\';
  const std::wstring program = beside + L"Tallowmere.exe";
  const wchar_t* const kPlanted[] = {L"bcrypt.dll", L"crypt32.dll"};
  bool planted = CreateDirectoryW(folder.path.c_str(), nullptr) && CopyFileW(argv[1], program.c_str(), FALSE);
  for (const wchar_t* name : {kPlanted[0], kPlanted[1], L"marker.dll"}) {
    planted = planted && CopyFileW(argv[2], (beside + name).c_str(), FALSE);
  }
  // The planted DLL tells when it loads.
  const tallow::win32::UniqueHmodule marker(planted ? LoadLibraryW((beside + L"marker.dll").c_str()) : nullptr);
  if (!marker || !tallow::testing::Exists(beside + L"marker.dll.loaded")) return Fail("cannot plant the DLLs");

  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return Fail("the program did not start");
  }
  const tallow::win32::UniqueHandle process(started.hProcess);
  const tallow::win32::UniqueHandle thread(started.hThread);

  HWND window = nullptr;
  const DWORD start = GetTickCount();
  while (!(window = MainWindowOf(started.dwProcessId)) || !IsWindowVisible(window)) {
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
      return Fail("the program ended before it showed its window");
    if (GetTickCount() - start > kDeadlineMs) {
      TerminateProcess(process.get(), 1);
      return Fail("no visible main window");
    }
    Sleep(50);
  }
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (std::wstring(caption) != tallow::kMainWindowCaption) {
    TerminateProcess(process.get(), 1);
    return Fail("the main window has another caption");
  }

  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.get(), kDeadlineMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    return Fail("the program did not end once its window was closed");
  }
  DWORD exit_code = 1;
  GetExitCodeProcess(process.get(), &exit_code);
  if (exit_code != 0) {
    std::fprintf(stderr, "start_test: FAILED: exit code %lu\n", exit_code);
    return 1;
  }
  for (const wchar_t* name : kPlanted) {
    if (tallow::testing::Exists(beside + name + L".loaded")) {
      std::fprintf(stderr, "start_test: FAILED: the program loaded the %ls planted beside it\n", name);
      return 1;
    }
  }
  std::printf("start_test: the window showed, no planted DLL loaded, and the program ended with exit code 0\n");
  return 0;
}

// What the program does against planted DLLs and what its build adds against memory errors.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/dll_search.h"
#include "platform/win32/handles.h"

#if defined(__MINGW32__) && (!defined(__SSP_STRONG__) || !defined(_FORTIFY_SOURCE) || _FORTIFY_SOURCE < 2)
#error "MinGW builds take stack canaries and fortified string and memory calls"
#endif

namespace tallow {
namespace {

TEST(DllSearchTest, ADllBesideTheProgramIsNotLoadedButSystemOnesAre) {
  wchar_t program[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
  std::wstring beside(program);
  beside.erase(beside.rfind(L'\\') + 1);
  ASSERT_NE(GetFileAttributesW((beside + L"tallow-planted.dll").c_str()), INVALID_FILE_ATTRIBUTES);

  RestrictDllSearch();
  const win32::UniqueHmodule planted(LoadLibraryW(L"tallow-planted.dll"));
  EXPECT_FALSE(planted);
  const win32::UniqueHmodule system(LoadLibraryW(L"version.dll"));
  EXPECT_TRUE(system);
}

}  // namespace
}  // namespace tallow

// Real files and folders for the Windows tests, made and read without the code under test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tallow::testing {

// A name no earlier call of this process returned, starting with prefix.
std::wstring UniqueName(std::wstring_view prefix);

bool WriteBytes(const std::wstring& path, std::string_view bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// Reads a file others may still hold open, as the shell does after a copy.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// True when the path names a link (a reparse point); false when it names nothing.
bool IsLink(const std::wstring& path);
bool MakeFolder(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// Removes a file or a folder tree, read-only, hidden and system entries included.
void RemoveTree(const std::wstring& path);

// Runs a shell command on the Linux side, where links can be made that Wine makes none of;
// true once it has ended with success. Only under Wine.
bool RunOnLinux(const std::wstring& command);
// Where Wine keeps the file on the Linux side; empty elsewhere.
std::wstring LinuxPath(const std::wstring& path);

// Bytes that a text-mode or truncating copy would change.
std::string SampleBytes();

}  // namespace tallow::testing

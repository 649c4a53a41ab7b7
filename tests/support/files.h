// Real files and folders for the Windows tests, made and read without the code under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::testing {

// A name no earlier call of this process returned, starting with prefix.
std::wstring UniqueName(std::wstring_view prefix);

bool WriteBytes(const std::wstring& path, std::string_view bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// Reads a file others may still hold open, as the shell does after a copy.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// A file's last-write time, in 100 ns units since 1601 (UTC); nullopt when it cannot be read.
std::optional<int64_t> WrittenAt(const std::wstring& path);
bool SetWrittenAt(const std::wstring& path, int64_t written);
// True when the path names a link (a reparse point); false when it names nothing.
bool IsLink(const std::wstring& path);
bool MakeFolder(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// The entries of the folder whose path ends in "\", "." and ".." included.
std::vector<std::wstring> ListFolder(const std::wstring& folder);
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

// A file type of the test's own under HKEY_CLASSES_ROOT, opened by the record_args helper, which
// writes the command line it was started with to a file of this object's; all of it is removed
// again with the object.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace tallow::testing {

class RecordingFileType {
 public:
  // The system takes the type for what perceived_type says ("image"); for nothing when empty.
  RecordingFileType(std::wstring extension, std::wstring prog_id, std::wstring perceived_type = L"image");
  ~RecordingFileType();
  RecordingFileType(const RecordingFileType&) = delete;
  RecordingFileType& operator=(const RecordingFileType&) = delete;

  // Registers the type to open with the helper built beside the test program, and tells the
  // helper where to record; a failure says what is missing.
  ::testing::AssertionResult Register();

  // Gives the type's class the verb with its command, and makes it the default verb when asked.
  ::testing::AssertionResult SetVerb(const std::wstring& verb, const std::wstring& command, bool as_default = false);

  // The helper, built beside the test program.
  static std::wstring Helper();

  // The helper's command line, if it has recorded one by now.
  std::optional<std::wstring> CommandLine() const;
  // The helper's command line, or nothing if it has not recorded one by the deadline.
  std::optional<std::wstring> WaitForCommandLine(std::chrono::milliseconds deadline = std::chrono::seconds(20)) const;

 private:
  std::wstring extension_;
  std::wstring prog_id_;
  std::wstring perceived_type_;
  std::wstring record_;
};

}  // namespace tallow::testing

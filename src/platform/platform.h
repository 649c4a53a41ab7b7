// What the program takes from the operating system: file system, shell and message boxes.
// The core is written against this interface only; Windows implements it with wide APIs,
// the tests with an in-memory fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tallow {

inline constexpr int kCsidlInternetCache = 32;
// Directory 16 + system 4 + hidden 2 + read-only 1: every kind of entry.
inline constexpr unsigned kAttrMaskAll = 23;

enum class MessageIcon { kInformation = 64, kExclamation = 48 };

// The shell's copy request, as the program fills it.
struct ShellCopyRecord {
  static constexpr unsigned kFoCopy = 2;
  static constexpr unsigned kFofAllowUndo = 0x40;

  unsigned function = kFoCopy;
  std::wstring from;
  std::wstring to;
  unsigned flags = kFofAllowUndo;
  bool any_operations_aborted = false;
};

// One entry of a folder listing.
struct DirEntry {
  std::wstring_view name;  // the bare long name
  bool directory = false;
  bool link = false;    // a reparse point: a junction or a symbolic link
  uint64_t size = 0;    // in bytes, as the folder's listing reports it
  int64_t written = 0;  // last written, in 100 ns units since 1601 (UTC), as the listing reports it
};
using EntrySink = std::function<void(const DirEntry& entry)>;

// What a path names.
enum class EntryKind { kNone, kFile, kFolder };

// Which folder an entry is, wherever it is moved on its volume and whatever takes its old
// place: its volume, its file id there (128 bits on some volumes; 0 where the volume numbers
// no files or will not say) and when it was made. An id alone can pass for a folder made since:
// FAT numbers a folder by its place in the folder above, and Linux file systems reuse numbers,
// so a bucket deleted and made again under its name may get the old one, but not its time.
struct FolderId {
  uint64_t volume = 0;
  uint64_t low = 0;
  uint64_t high = 0;
  int64_t created = 0;  // in 100 ns units since 1601 (UTC); 0 where the volume keeps none
  bool operator==(const FolderId&) const = default;
};

// What the system opens files of a type with, as a double-click would, and what it takes them for.
struct TypeProgram {
  std::wstring command;    // the command line, "%1" where the file goes; empty when there is none
  bool delegate = false;   // an app's own object opens the file instead (apps from the Store)
  bool media = false;      // the system perceives the type as a picture, a sound or a video
  std::wstring name = {};  // the program's name as the system shows it to users; may be empty
  // The verb a double-click runs, as the shell picks it; the command and name are that verb's.
  // Opening passes it on, so that the verb judged is the verb run. Empty: the system's default.
  std::wstring verb = {};
};

// A long piece of work the user can follow and cancel.
class Progress {
 public:
  virtual ~Progress() = default;
  // Reports that done of the total units are finished; false once the user has cancelled.
  virtual bool Step(size_t done) = 0;
};

// How one delete of a listed file ended.
enum class RemoveOutcome {
  kRemoved,    // gone for good
  kGone,       // already gone: nothing to do, and no failure
  kNotListed,  // no longer the listed entry, or not in the listed bucket: left alone
  kFailed,     // the system refused (read-only, in use); status says why
};
struct RemoveResult {
  RemoveOutcome outcome = RemoveOutcome::kFailed;
  // With kFailed, why, as a Windows error code (what GetLastError gives, ERROR_ACCESS_DENIED
  // for a read-only file), which Platform::FailureText words; 0 otherwise.
  uint32_t status = 0;
  bool operator==(const RemoveResult&) const = default;
};

// How one copy into a picked folder ended.
enum class SaveOutcome {
  kSaved,      // complete, with the source's bytes and last-write time
  kNameTaken,  // an entry of that name is there already: left alone
  kGone,       // the source is no longer there
  kFolder,     // the source is a folder: not copied
  kCancelled,  // the user stopped it: nothing left behind
  kFailed,     // the system refused (no space, no access); status says why
};
struct SaveResult {
  SaveOutcome outcome = SaveOutcome::kFailed;
  uint32_t status = 0;  // with kFailed, the system's own code, which Platform::FailureText words
};
// Told how far a copy has come; false once the user has cancelled.
using CopyProgress = std::function<bool(uint64_t copied, uint64_t size)>;

// Copies files into the one folder the user picked, by its exact path: a folder whose name ends
// in a dot or a space is that folder, not the one its plain path would be read as. Each copy
// carries the mark of the Internet where the folder's volume keeps it.
class FolderSaver {
 public:
  virtual ~FolderSaver() = default;
  // Copies source into the folder under name, only while nothing has that name: one taken
  // meanwhile is never overwritten.
  virtual SaveResult SaveNew(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) = 0;
  // Puts a copy of source in the place of the file name; that file stays whole until the copy
  // is complete, and stays as it was when the copy fails.
  virtual SaveResult Replace(const std::wstring& source, std::wstring_view name, const CopyProgress& progress) = 0;
};

// Deletes files of the cache, each only while it is still the very entry that was listed: the
// bucket folders are writable by other programs, some sandboxed, which may swap a folder, or
// any folder above it, for a link to files elsewhere at any moment.
class CacheFileRemover {
 public:
  virtual ~CacheFileRemover() = default;
  // Deletes the file name in the folder bucket of the container (a path ending in "\"), for
  // good and its name at once, when the folder reached is the very folder the scan listed (its
  // id is folder), neither the container nor the file is a link, and the file is that entry of
  // that folder; never a directory. Says otherwise how it ended. Container and bucket stay
  // held, so that no other program renames or deletes them, until another folder is asked for
  // or the remover goes.
  virtual RemoveResult Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& folder,
                              std::wstring_view name) = 0;
};

inline constexpr uint64_t kHashStart = 14695981039346656037ull;

// FNV-1a over the code units of text, each first mapped by fold, continued from the state from.
template <typename Fold>
uint64_t HashUnits(std::wstring_view text, uint64_t from, Fold&& fold) {
  for (const wchar_t unit : text) from = (from ^ static_cast<uint16_t>(fold(unit))) * 1099511628211ull;
  return from;
}

class Platform {
 public:
  virtual ~Platform() = default;

  // The special folder's path; the empty string when the shell does not know the folder;
  // nullopt when its path could not be read.
  virtual std::optional<std::wstring> SpecialFolderPath(int csidl) = 0;

  // Passes every entry of the folder whose path ends in "\" to sink, in the order the file
  // system returns them, "." and ".." included. False when nothing could be
  // listed (missing folder, not a folder).
  virtual bool EnumerateDirectory(const std::wstring& path, unsigned attr_mask, const EntrySink& sink) = 0;

  // The identity of the folder the path names, the entry itself and no link; nullopt when it
  // is a link or no folder, or what it is cannot be read. A volume that will not give the
  // folder's id still gives an identity, without the id. Taken when the scan lists a bucket, so
  // that deletes act in that very folder only.
  virtual std::optional<FolderId> FolderIdOf(const std::wstring& path) = 0;

  // Deletes listed files of the cache for good, for one action of the user's.
  virtual std::unique_ptr<CacheFileRemover> BeginRemoving() = 0;

  // What a Windows error code (RemoveResult::status, GetLastError) means, in the user's words
  // and language; never empty.
  virtual std::wstring FailureText(uint32_t status) = 0;

  // Modal to the main window, with an OK button; returns when dismissed.
  virtual void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) = 0;
  // Modal to the main window, with the exclamation icon and Yes and No, No the default; true
  // only for Yes.
  virtual bool AskYesNo(const std::wstring& text, const std::wstring& title) = 0;
  // Follows total units of work, under the title; shown to the user only once the work has taken a while.
  // Finished when the object goes.
  virtual std::unique_ptr<Progress> BeginProgress(size_t total, const std::wstring& title = L"全部删除") = 0;

  // True when the file system would take the two paths for the same: ordinal, ignoring case,
  // code unit by code unit. Distinct names that only a language's rules call equal stay apart.
  virtual bool PathsEqual(std::wstring_view a, std::wstring_view b) = 0;
  // A hash of text continued from the hash of what precedes it, equal for texts PathsEqual
  // calls equal: hashing a folder once and each name from there gives each full path's hash.
  virtual uint64_t PathHash(std::wstring_view text, uint64_t from = kHashStart) = 0;

  // The folder the user picked, or nullopt when the picker was cancelled or failed.
  virtual std::optional<std::wstring> PickFolder(const std::wstring& title) = 0;

  // Runs the shell's file operation; returns its result code (0 on success) and sets the
  // record's aborted flag as the shell reports it.
  virtual int ShellFileOperation(ShellCopyRecord& record) = 0;

  // Opens the file with the program the system associates with its type: the type named (".gif")
  // when one is, whatever the file holds; otherwise the type of its name, or the file itself
  // when it is a program. The verb is the one ProgramForType gave; empty for the default.
  virtual bool OpenWithDefaultProgram(const std::wstring& path, const std::wstring& type = {},
                                      const std::wstring& verb = {}) = 0;

  // The path by which the shell's copy and open reach exactly this file. The shell trims a
  // dot or a space at the end of a name, and would reach another file by it: such a file is
  // named another way, or nullopt when it has none.
  virtual std::optional<std::wstring> ShellPath(const std::wstring& path) = 0;
  // What the path names now; an entry that is there but cannot be read counts as a file.
  virtual EntryKind KindOf(const std::wstring& path) = 0;
  // True when both paths name files that hold the same bytes. The window keeps answering
  // meanwhile, however large the files.
  virtual bool SameContents(const std::wstring& a, const std::wstring& b) = 0;
  // Deletes what a copy of source that failed part-way left at path: only a file that holds
  // the start of source's bytes and nothing else, never what another program put there.
  virtual bool DiscardPartialCopy(const std::wstring& path, const std::wstring& source) = 0;
  // Copies into the folder the user picked, for one save.
  virtual std::unique_ptr<FolderSaver> BeginSaving(const std::wstring& folder) = 0;
  // True when the system itself calls files with this extension (".exe") unsafe to open, by its
  // list or by the type's own flag.
  virtual bool IsDangerousType(const std::wstring& extension) = 0;
  // Marks a saved copy as coming from the Internet, so that the system warns before running
  // it; false where the file's volume keeps no such mark.
  virtual bool MarkFromInternet(const std::wstring& path) = 0;
  // What opens a file with this extension (".gif") on a double-click, by which verb, and whether
  // the system takes it for a picture, a sound or a video; neither a command nor a delegate when
  // it has no program for it.
  virtual TypeProgram ProgramForType(const std::wstring& extension) = 0;
};

}  // namespace tallow

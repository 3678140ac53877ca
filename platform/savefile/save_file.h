// Saving a whole file so that a failure never leaves a cut or mixed file behind.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace savefile {

// How a save treats the file and the disk.
struct SaveOptions {
  // The data, then the rename, are synced to the disk (a file the user keeps). Without it
  // nothing is synced: for files that are made again on every run, where a sync only costs.
  bool sync = true;
  // A symlink at the path is followed: the file it points to is replaced and the link stays.
  // Without it the link itself is replaced by the new file (our own files, never followed).
  bool followLinks = true;
  // The permission bits of a new file, less the umask; a replaced file keeps its own bits.
  mode_t newFileMode = 0666;
};

// What stopped a save.
enum class Failure {
  kNone,
  kNoFolder,   // the folder of the file does not exist (or is not a folder)
  kNotAFile,   // something other than a regular file is at the path
  kWrite,      // the new file could not be made, written, synced or closed
  kReplace,    // the rename over the old file failed
  kProtected,  // the file, with every link followed, lies in the protected folder
};

struct SaveResult {
  Failure failure = Failure::kNone;
  // What failed, with the file and the system's reason ("Cannot write <path>: <reason>").
  std::string error;
  explicit operator bool() const { return failure == Failure::kNone; }
};

// The folder no save may write into (the program folder, which holds the program's own
// files): a function that names it, asked at every save, so that the folder can move (an
// empty name protects nothing). Set once by the program; nothing is protected until then.
void SetProtectedFolder(std::function<std::string()> folder);

// The file a save of `path` writes: the path with the links at its end followed (when the
// save follows them), as far as 40 hops.
std::filesystem::path SaveTarget(const std::string& path, bool followLinks = true);

// Whether two files' stat results are the same file (device and inode): what a link, a hard
// link or a second mount of a folder cannot hide.
bool SameFile(const struct stat& a, const struct stat& b);

// Whether the folder `folder` is the folder `guarded` or lies below it: `folder` (links and
// "." or ".." resolved as far as it exists) and each of its parents are compared with `guarded`
// by device and inode, so another name for the same folder (a link, a second mount of it or of
// a folder above it) is seen through. A `guarded` that is not an existing folder holds nothing,
// nor does "/".
bool FolderWithin(const std::string& folder, const std::string& guarded);

// The one wording of a refusal to write into the program folder `programFolder`:
// "<subject> is in the program folder <folder>, which holds the program's own files", where
// `subject` names what was refused ("The summary CSV file /home/a/x.csv"). Callers go on with
// what was not done and what to do instead.
std::string ProgramFolderRefusal(const std::string& subject, const std::string& programFolder);

// Whether the file a save of `path` would write (every link at the path and in its folders
// followed, as the save follows them) lies in the protected folder or below it (FolderWithin).
bool InProtectedFolder(const std::string& path);

// Whether a failed save's text (SaveResult::error, "<what> <path>: <system's reason>", passed
// on as it is) ends with the system's reason for the error number `err`: callers that only
// get the text tell a full disk from a read-only one by it.
bool FailedBecause(const std::string& error, int err);

// Byte ranges at their 0-based offsets.
using Ranges = std::vector<std::pair<std::int64_t, std::string_view>>;

// Replaces the file at `path` with a file of `length` bytes: the ranges (each inside the
// length) at their offsets and zeros everywhere else, left as holes, so a large laid-out
// file costs only the bytes of its ranges. The new file is made under a temporary name in
// the same folder (".kestrin-<pid, 10 digits>-<6 characters>.tmp", 30 bytes whatever the
// file's name, so any name the system takes can be saved; created exclusively, so nothing
// already there is followed or overwritten); every write is checked, and the temporary is
// renamed over the old file only when all of it succeeded. On any failure the old file
// stays as it was and the temporary is removed. The save holds an open file description's
// write lock (F_OFD_SETLK) on its temporary from just after creating it until after the rename
// or the removal. Temporaries in the folder left by saves that were killed before their rename
// are removed first: a regular file (never a link or a folder) of today's form whose lock this
// save can take, whatever pid its name holds (a save in a pid namespace of its own may be named
// for pid 1, or for this process's own number). No save on this computer, in any pid namespace,
// still holds such a lock, nor does one on another computer where the shared folder's locks
// reach the server (NFS with its lock service, SMB with byte-range locks). Where they stay on
// each computer (NFS mounted nolock or local_lock, SMB nobrl, most FUSE shares), a save running
// on another computer may lose its temporary: that save then fails with its message and its
// old file stays whole; nothing is lost. Names of any other form, those of earlier versions'
// temporaries included, may be a user's own files and are never removed.
// A file in the protected folder is refused (kProtected) before anything is written there.
SaveResult SaveLaidOut(const std::string& path, std::int64_t length, const Ranges& ranges,
                       const SaveOptions& options = {});

// Replaces the file at `path` with `bytes` as SaveLaidOut does, synced to the disk and
// following a symlink. On failure false is returned and `error` (when given) says what
// failed, with the system's reason (a missing folder: "Cannot write <path>: No such file or
// directory").
bool SaveWhole(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Writes all the bytes at `offset` of the open file; 0, or the errno of the write that
// failed (ENOSPC for a write that stores nothing without an error).
int WriteAllAt(int fd, std::string_view bytes, std::int64_t offset);

}  // namespace savefile

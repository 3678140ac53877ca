// File helpers shared by the modDataIO routines (not part of the module's interface).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/storage/modpublic_errors.h"
#include "app/storage/record_codec.h"

namespace modDataIO::detail {

bool IsFile(const std::string& path);
// True when anything (a file, a folder, ...) exists at the path.
bool Exists(const std::string& path);
// The whole file; raises 53 (File not found) when it does not exist, 75 when unreadable.
std::string ReadFileBytes(const std::string& path);
// Up to `size` bytes from `offset` (fewer, or none, where the file ends first; npos: all). The file is
// opened read-only; raises 53 when it does not exist.
std::string ReadRange(const std::string& path, std::int64_t offset, std::size_t size);
// Our own files in the scratch folder (records, results, error lines) are regular files that
// this program made: they are opened without following a symbolic link and without waiting
// on a FIFO, and anything else found under their name raises 75 ("Not a regular file").

// Opens our own file with `flags` (O_NOFOLLOW, O_NONBLOCK and O_CLOEXEC added); -1 when it
// does not exist (and O_CREAT was not given). Raises 75 for a link, a folder, a FIFO, a
// device or a file that cannot be opened. `length` (when given) gets the file's length.
int OpenOwnFile(const std::string& path, int flags, std::int64_t* length = nullptr);
// Up to `size` bytes of our own file from `offset` (npos: to the end); none when the file is
// missing or ends at or before `offset`. With `whole`, a file that ends inside the range
// raises 62 (Input past end of file): a cut file never reads as zeros. `fileLength` (when
// given) gets the file's length, -1 when it is missing.
std::string ReadOwnRange(const std::string& path, std::int64_t offset, std::size_t size, bool whole,
                         std::int64_t* fileLength = nullptr);
// Our own file whole; raises 53 when it does not exist.
std::string ReadOwnFile(const std::string& path);
// The length of our own file; -1 when it does not exist.
std::int64_t OwnFileLength(const std::string& path);
// Refuses anything but our own regular file under its name (a link, a folder, a FIFO, ...:
// raises 75, "Not a regular file"); a missing file passes. Only the name is looked at (lstat):
// the file is neither opened nor read. For a file that is written or opened by other means
// than the reads above.
void CheckOwnFile(const std::string& path);

// A whole file that a user or another program hands us (a project or settings file): only
// a regular file (a symlink to one included) of at most maxBytes is read. Anything else (a
// FIFO, a device, a folder, a larger file) raises 75 with a text naming the file, without
// blocking and without reading it.
std::string ReadUserFile(const std::string& path, std::size_t maxBytes);
// Writes the file under a temporary name in its folder and renames it into place, so the
// old file stays whole when anything fails (savefile::SaveLaidOut). Raises 76 when the
// folder does not exist, 75 for anything else that fails (something other than a file at
// the path included). A path that is a symlink is followed: the file it points to is
// replaced and the link stays. The new file keeps the permissions of the one it replaces (a
// new one: 0644 less the umask). With `durable`, the data and then the rename are synced to
// the disk (files the user keeps); scratch files, made again on every run, go without. Left-
// over temporaries of saves in the folder that were killed before their rename are removed
// (savefile::SaveLaidOut says which: never a name a user may have chosen).
void WriteFileAtomic(const std::string& path, std::string_view bytes, bool durable = false);
// WriteFileAtomic for our own file: a symlink at the path is replaced by the new file, never
// followed, and the data are not synced (the scratch folder is rebuilt on every run).
void WriteOwnFileAtomic(const std::string& path, std::string_view bytes);
// Writes our own file of `length` bytes as WriteOwnFileAtomic does: the ranges at their
// 0-based offsets and zeros everywhere else (left as holes, so a large laid-out file costs
// only the bytes of its ranges). A range beyond `length` raises 52.
void WriteLaidOutFileAtomic(const std::string& path, std::int64_t length,
                            const std::vector<std::pair<std::int64_t, std::string>>& ranges);
// Replaces byte ranges of our own file (0-based offsets), extending it with zero bytes where
// a range lies beyond its end; the file is created when missing. Written as
// WriteOwnFileAtomic.
void PatchFile(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges);

// Lays an existing regular file of at least `length` bytes out afresh in place: its first
// `length` bytes become zeros, the header first (so that a run killed on the way leaves a
// file without a valid header, never old sections under a new one), then `header` is
// written at offset 0. Only the parts that hold data are zeroed. Bytes beyond `length`
// stay. False, with nothing changed, when the path is not such a file.
bool RelayOutInPlace(const std::string& path, std::int64_t length, std::string_view header);

// Appends the bytes to the end of our own file, creating it (0644) when missing.
void AppendToFile(const std::string& path, std::string_view bytes);

// Writes byte ranges into our own existing file in place (the results file, which is rebuilt
// at the start of every run and written section by section during it). Raises 53 when the
// file does not exist.
void WriteInPlace(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges);

// The record stored at `offset` of the file. A missing file, or bytes beyond its end, read
// as zeros; something there that cannot be read as a file is an error. The file is opened
// read-only and never created.
template <class R>
std::string ReadRecordBytesAt(const std::string& path, std::int64_t offset) {
  const std::size_t size = codec::EncodedSize(R{});
  std::string bytes = Exists(path) ? ReadRange(path, offset, size) : std::string();
  bytes.resize(size, '\0');
  return bytes;
}
template <class R>
R ReadRecordAt(const std::string& path, std::int64_t offset) {
  R rec;
  codec::Decode(ReadRecordBytesAt<R>(path, offset), rec);
  return rec;
}

// Records of the system library kept in memory while a LibraryReadScope lives.
// The kept bytes of the record at `offset` of `path`; false when none are kept.
bool FindKeptRecord(const std::string& path, std::int64_t offset, std::string& bytes);
// Keeps the bytes of a record that has been read and checked; nothing when no scope lives.
void KeepRecord(const std::string& path, std::int64_t offset, const std::string& bytes);
// Forgets the kept records of the file at `path` (all of them when it is an index, INX.MDB).
// Every write of this module calls it, so a record read after a write of its file is read
// from the disk again.
void ForgetKeptRecords(const std::string& path);

// The record stored at `offset` of our own file. A missing file, or a record that starts at or
// beyond the end (a record never written), reads as zeros; a file that ends inside the record
// raises 62.
template <class R>
R ReadOwnRecordAt(const std::string& path, std::int64_t offset) {
  const std::size_t size = codec::EncodedSize(R{});
  std::string bytes = ReadOwnRange(path, offset, size, /*whole=*/true);
  bytes.resize(size, '\0');
  R rec;
  codec::Decode(bytes, rec);
  return rec;
}

// Runs the body of a data routine: any failure shows gDataIOErrorMsg (style 48) under
// `title` and gives false. Database errors arrive as error 3049 with their text.
bool RunData(const std::string& title, const std::function<bool()>& body);

// The file name of a path (for messages).
std::string FileName(const std::string& path);

}  // namespace modDataIO::detail

// Saving a whole file so that a failure never leaves a cut or mixed file behind.
#pragma once

#include <string>
#include <string_view>

namespace savefile {

// Replaces the file at `path` with `bytes`. The bytes go to a temporary file in the same
// folder; every write is checked, the data are synced to the disk and the temporary is
// renamed over the old file only when all of that succeeded. On any failure (a full disk,
// a missing or read-only folder, a path that is a folder) the old file stays as it was, the
// temporary is removed, false is returned and `error` (when given) says what failed, with
// the system's reason. A symlink is followed: the file it points to is replaced and the link
// stays. The new file keeps the permission bits of the file it replaces.
bool SaveWhole(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace savefile

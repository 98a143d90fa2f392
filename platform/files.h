// Whole-file access for the custom dictionary and the compression wrapper. Paths are UTF-16 as
// the host passes them; the POSIX build converts them to UTF-8, the Win32 build hands them to
// the wide-character file API.
//
// Failures throw lexivane::Error carrying the platform's error number (errno on POSIX, the
// Win32 error code on Windows) and a message of the form "cannot open 'PATH' for reading:
// REASON" (or "for writing", "cannot read", "cannot write", "cannot close", "cannot create
// directory"). A path with an embedded NUL is refused (EINVAL, ERROR_INVALID_NAME) rather than
// cut short. Files are opened, used and closed within one call; every function may be called
// from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/utf8.h"

namespace lexivane::platform {

// The whole content of the file at `path`. Only regular files are read: a directory fails
// with EISDIR on POSIX (ERROR_ACCESS_DENIED on Windows), a FIFO or device with EINVAL.
std::vector<std::uint8_t> ReadFileBytes(std::u16string_view path);

// Makes `bytes` the whole content of the file at `path`, creating it when missing. A failed
// write (a full disk) is reported and leaves the file as it was.
//
// The bytes go to a temporary file in the same directory (hidden on POSIX: its name starts
// with a dot), created with the permissions the file will have, flushed to the disk and then
// renamed over the file (on Windows with MoveFileExW), so that no failure and no crash leaves
// the file empty or half written, and a failure leaves no temporary file behind. An existing
// file keeps its permission bits, and its owner and group where the process may set them (on
// Windows its attributes); a new one gets 0666 less the umask. A path that ends in a symbolic
// link replaces the file the link leads to, and the link stays (on Windows only when the file
// exists). Other attributes of the old file (ACLs, extended attributes, further hard links to
// it) do not carry over to the new one.
//
// Access is judged on the file itself: a read-only file fails with EACCES (ERROR_ACCESS_DENIED)
// although its directory would allow replacing it; a directory fails with EISDIR
// (ERROR_ACCESS_DENIED), a missing directory with ENOENT (ERROR_PATH_NOT_FOUND). Two cases are
// written in place instead, truncated and written as a plain open would, so that a failure
// there can leave the file truncated: a device, FIFO or socket (/dev/null, /dev/full, NUL),
// which is never replaced; and a writable file whose directory refuses the temporary file or
// the rename (a read-only directory, or on POSIX a sticky one such as /tmp when the file
// belongs to another user).
void WriteFileBytes(std::u16string_view path, std::string_view bytes);

// Creates the directory at `path` and whatever parent directories it lacks, on POSIX with mode
// 0700 less the umask (configuration directories are private to their user). An existing
// directory, or a link to one, is fine. Fails with ENOTDIR (ERROR_ALREADY_EXISTS on Windows)
// where a file stands in the way, and with the system's error otherwise (EACCES, EROFS);
// the message names the directory that could not be created.
void CreateDirectories(std::u16string_view path);

// Deletes the file at `path`; reports nothing when that fails.
void DeleteFileQuietly(std::u16string_view path);

}  // namespace lexivane::platform

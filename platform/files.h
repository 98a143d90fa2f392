// Whole-file access for the custom dictionary and the compression wrapper. Paths are UTF-16 as
// the host passes them; the POSIX build converts them to UTF-8, the Win32 build hands them to
// the wide-character file API.
//
// Failures throw lexivane::Error carrying the platform's error number (errno on POSIX, the
// Win32 error code on Windows) and a message of the form "cannot open 'PATH' for reading:
// REASON" (or "for writing", "cannot read", "cannot write", "cannot close"). A path with an
// embedded NUL is refused (EINVAL, ERROR_INVALID_NAME) rather than cut short. Files are opened,
// used and closed within one call; every function may be called from any thread.
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

// Creates the file at `path`, or truncates an existing one, and writes `bytes` to it. A failed
// write (a full disk) or close is reported; the file is then left truncated and partly written.
void WriteFileBytes(std::u16string_view path, std::string_view bytes);

// Deletes the file at `path`; reports nothing when that fails.
void DeleteFileQuietly(std::u16string_view path);

}  // namespace lexivane::platform

// Whole-file access on Windows through the wide-character file API, so that any path the host
// passes reaches the system unchanged.
//
// A write never truncates the file it replaces: the new content goes into a temporary file
// beside it, is flushed to the disk and then moved over the old one with MoveFileExW.

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "lexivane/error.h"
#include "platform/files.h"
#include "platform/system_message.h"

namespace lexivane::platform {
namespace {

// The system's text for the error, or its number when the system has none.
std::string Reason(DWORD error) {
  const std::u16string text = SystemMessage(error);
  if (text.empty()) return "error " + std::to_string(error);
  return ToUtf8(text);
}

// The path as a message shows it: a NUL would end the message early for C-string readers.
std::string Shown(std::u16string_view path) {
  std::string shown;
  for (char c : ToUtf8(path)) {
    if (c == '\0') {
      shown += "\\0";
    } else {
      shown += c;
    }
  }
  return shown;
}

[[noreturn]] void Fail(DWORD error, const std::string& what, std::u16string_view path) {
  throw Error(static_cast<int>(error),
              "cannot " + what + " '" + Shown(path) + "': " + Reason(error));
}

[[noreturn]] void FailOpen(DWORD error, std::u16string_view path, const char* mode) {
  throw Error(static_cast<int>(error),
              "cannot open '" + Shown(path) + "' for " + mode + ": " + Reason(error));
}

// The system would cut the path at an embedded NUL and open some other file.
std::wstring NativePath(std::u16string_view path, const char* mode) {
  if (path.find(u'\0') != std::u16string_view::npos) FailOpen(ERROR_INVALID_NAME, path, mode);
  return std::wstring(path.begin(), path.end());
}

// Closes on every path out, so that a failure never leaks the handle.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }

  HANDLE get() const { return handle_; }

  // Closes now and answers the error, or 0 on success.
  DWORD Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) ? 0 : ::GetLastError();
  }

 private:
  HANDLE handle_;
};

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces of this size.
constexpr DWORD kChunk = 1u << 30;

// Writes all of `bytes` at the handle's position.
void WriteAll(HANDLE file, std::string_view bytes, std::u16string_view path) {
  while (!bytes.empty()) {
    const DWORD request = bytes.size() > kChunk ? kChunk : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), request, &written, nullptr)) {
      Fail(::GetLastError(), "write", path);
    }
    if (written == 0) Fail(ERROR_DISK_FULL, "write", path);
    bytes.remove_prefix(written);
  }
}

// Writes into an open file and closes it. A disk file is truncated first; a device or a pipe
// has no content to truncate.
void WriteInPlace(Handle& file, std::string_view bytes, std::u16string_view path) {
  if (::GetFileType(file.get()) == FILE_TYPE_DISK) {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(file.get())) {
      Fail(::GetLastError(), "write", path);
    }
  }
  WriteAll(file.get(), bytes, path);
  if (const DWORD error = file.Close(); error != 0) Fail(error, "close", path);
}

// Opens an existing file for writing, letting others go on reading, writing, renaming or
// deleting it, since the write replaces it rather than holding it.
HANDLE OpenExisting(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The path of the file behind an open handle, links followed, or `fallback` when the system
// cannot tell (some network file systems).
std::wstring FinalPath(HANDLE file, const std::wstring& fallback) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFinalPathNameByHandleW(
        file, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return fallback;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);  // the length asked for, with room for the terminating NUL
  }
  return fallback;
}

// Where the file name starts in `path`: after the last separator or drive colon.
std::size_t NameStart(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring_view::npos ? 0 : separator + 1;
}

// Creates a new file with an unused name beside `target`, for writing, with the given
// attributes. Answers the handle and stores the name in `temporary`, or INVALID_HANDLE_VALUE
// with the error left for GetLastError.
HANDLE CreateBeside(const std::wstring& target, DWORD attributes, std::wstring& temporary) {
  const std::size_t name_start = NameStart(target);
  std::wstring_view name = std::wstring_view(target).substr(name_start);
  // The name is kept only as a hint for whoever finds a file left by a crash; a long one would
  // push the whole past the limit on a name's length.
  constexpr std::size_t kSuffixLength = 1 + 16 + 4;  // "." + hex digits + ".tmp"
  if (1 + name.size() + kSuffixLength > 255) name = L"lexivane";
  thread_local std::mt19937_64 random(std::random_device{}() ^ ::GetTickCount64());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::uint64_t value = random();
    wchar_t digits[16];
    for (wchar_t& digit : digits) {
      digit = L"0123456789abcdef"[value >> 60];
      value <<= 4;
    }
    temporary.assign(target, 0, name_start);
    temporary += L'.';
    temporary += name;
    temporary += L'.';
    temporary.append(digits, 16);
    temporary += L".tmp";
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;  // the last error is ERROR_FILE_EXISTS
}

// Deletes the temporary file on every path out unless the move has taken it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring name) : name_(std::move(name)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() { Remove(); }

  const std::wstring& name() const { return name_; }
  void Remove() {
    if (!name_.empty()) ::DeleteFileW(name_.c_str());
    Keep();
  }
  void Keep() { name_.clear(); }

 private:
  std::wstring name_;
};

// Creates `directory` and whatever parents it lacks. Answers 0, or the error with `failed` set
// to the directory that could not be made.
DWORD MakeDirectories(const std::wstring& directory, std::wstring& failed) {
  if (::CreateDirectoryW(directory.c_str(), nullptr)) return 0;
  DWORD error = ::GetLastError();
  if (error == ERROR_PATH_NOT_FOUND) {
    std::size_t end = directory.find_last_of(L"\\/");
    while (end != std::wstring::npos && end > 0 &&
           (directory[end - 1] == L'\\' || directory[end - 1] == L'/')) {
      --end;
    }
    if (end != std::wstring::npos && end > 0) {
      if (const DWORD parent = MakeDirectories(directory.substr(0, end), failed); parent != 0) {
        return parent;
      }
      if (::CreateDirectoryW(directory.c_str(), nullptr)) return 0;
      error = ::GetLastError();
    }
  }
  // Another process may have made it meanwhile, or it was there already: a root such as "C:"
  // cannot be created but is a directory.
  const DWORD attributes = ::GetFileAttributesW(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return 0;
    error = ERROR_ALREADY_EXISTS;
  }
  failed = directory;
  return error;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(std::u16string_view path) {
  const std::wstring native = NativePath(path, "reading");
  // A directory fails here with ERROR_ACCESS_DENIED, as opening one without backup semantics
  // always does.
  Handle file(::CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) FailOpen(::GetLastError(), path, "reading");

  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) Fail(::GetLastError(), "read", path);

  // The size is only a first guess: another process may change the file while it is read.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const std::size_t room = bytes.size() - used;
    const DWORD request = room > kChunk ? kChunk : static_cast<DWORD>(room);
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + used, request, &got, nullptr)) {
      Fail(::GetLastError(), "read", path);
    }
    if (got == 0) break;
    used += got;
  }
  bytes.resize(used);
  return bytes;
}

void WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  const std::wstring native = NativePath(path, "writing");

  // Opening the existing file tests write access the way the system judges it (the read-only
  // attribute, the ACL) and follows links to the file they lead to. A directory fails here
  // with ERROR_ACCESS_DENIED, a missing directory with ERROR_PATH_NOT_FOUND.
  Handle existing(OpenExisting(native));
  std::wstring target = native;
  // A new file gets the attributes a plain create would give it, a replaced one those of its
  // predecessor that a create may set.
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (existing.get() == INVALID_HANDLE_VALUE) {
    if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND) {
      FailOpen(error, path, "writing");
    }
  } else {
    // A device (NUL, CON) or a pipe is written into; there is nothing to replace.
    if (::GetFileType(existing.get()) != FILE_TYPE_DISK) {
      WriteInPlace(existing, bytes, path);
      return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(existing.get(), &info)) {
      const DWORD kept =
          info.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
      if (kept != 0) attributes = kept;
    }
    target = FinalPath(existing.get(), native);
  }
  const bool exists = existing.get() != INVALID_HANDLE_VALUE;

  std::wstring name;
  Handle file(CreateBeside(target, attributes, name));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // The directory refuses a new file, but the file itself may be written.
    if (!exists || error != ERROR_ACCESS_DENIED) FailOpen(error, path, "writing");
    WriteInPlace(existing, bytes, path);
    return;
  }
  TemporaryFile temporary(std::move(name));
  // An open handle would keep the file from being replaced.
  if (exists) existing.Close();

  WriteAll(file.get(), bytes, path);
  // MOVEFILE_WRITE_THROUGH commits the move only; the data has to be on the disk before it.
  if (!::FlushFileBuffers(file.get())) Fail(::GetLastError(), "write", path);
  if (const DWORD error = file.Close(); error != 0) Fail(error, "close", path);

  if (!::MoveFileExW(temporary.name().c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    temporary.Remove();
    // The directory refuses the replacing (no right to delete the old file), but the file
    // itself may still be written.
    Handle again(exists && error == ERROR_ACCESS_DENIED ? OpenExisting(target)
                                                        : INVALID_HANDLE_VALUE);
    if (again.get() == INVALID_HANDLE_VALUE) Fail(error, "write", path);
    WriteInPlace(again, bytes, path);
    return;
  }
  temporary.Keep();
}

void CreateDirectories(std::u16string_view path) {
  std::wstring directory(path.begin(), path.end());
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) {
    directory.pop_back();
  }
  std::wstring failed = directory;
  const DWORD error = directory.find(L'\0') != std::wstring::npos
                          ? ERROR_INVALID_NAME
                          : MakeDirectories(directory, failed);
  if (error == 0) return;
  const std::u16string shown_failed(failed.begin(), failed.end());
  std::string message = "cannot create directory '" + Shown(shown_failed) + "'";
  if (failed != directory) {
    message += " for '" + Shown(std::u16string(directory.begin(), directory.end())) + "'";
  }
  throw Error(static_cast<int>(error), message + ": " + Reason(error));
}

void DeleteFileQuietly(std::u16string_view path) {
  if (path.find(u'\0') != std::u16string_view::npos) return;
  const std::wstring native(path.begin(), path.end());
  ::DeleteFileW(native.c_str());
}

}  // namespace lexivane::platform

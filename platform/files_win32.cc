// Whole-file access on Windows through the wide-character file API, so that any path the host
// passes reaches the system unchanged.

#include <windows.h>

#include <string>

#include "lexivane/error.h"
#include "platform/files.h"

namespace lexivane::platform {
namespace {

std::string SystemMessage(DWORD error) {
  LPWSTR buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::u16string text;
  if (length != 0 && buffer != nullptr) text.assign(reinterpret_cast<char16_t*>(buffer), length);
  if (buffer != nullptr) ::LocalFree(buffer);
  // System messages end with CR LF, which has no place inside a one-line description.
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
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
              "cannot " + what + " '" + Shown(path) + "': " + SystemMessage(error));
}

[[noreturn]] void FailOpen(DWORD error, std::u16string_view path, const char* mode) {
  throw Error(static_cast<int>(error),
              "cannot open '" + Shown(path) + "' for " + mode + ": " + SystemMessage(error));
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
  Handle file(::CreateFileW(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) FailOpen(::GetLastError(), path, "writing");

  while (!bytes.empty()) {
    const DWORD request = bytes.size() > kChunk ? kChunk : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), request, &written, nullptr)) {
      Fail(::GetLastError(), "write", path);
    }
    if (written == 0) Fail(ERROR_DISK_FULL, "write", path);
    bytes.remove_prefix(written);
  }

  if (const DWORD error = file.Close(); error != 0) Fail(error, "close", path);
}

void DeleteFileQuietly(std::u16string_view path) {
  if (path.find(u'\0') != std::u16string_view::npos) return;
  const std::wstring native(path.begin(), path.end());
  ::DeleteFileW(native.c_str());
}

}  // namespace lexivane::platform

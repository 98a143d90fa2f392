#include "platform/system_message.h"

#include <windows.h>

namespace lexivane::platform {

std::u16string SystemMessage(unsigned long code) {
  LPWSTR buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::u16string text;
  if (length != 0 && buffer != nullptr) text.assign(reinterpret_cast<char16_t*>(buffer), length);
  if (buffer != nullptr) ::LocalFree(buffer);
  // System messages end with CR LF, which has no place inside a one-line description.
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace lexivane::platform

#include "lsp/file_uri.h"

#include <algorithm>

#include "support/ascii.h"

namespace lexivane::frontend::lsp {

namespace {

bool IsDrive(std::string_view path) {
  return path.size() >= 3 && path[0] == '/' && support::IsAsciiLetter(path[1]) && path[2] == ':';
}

}  // namespace

std::optional<std::string> FilePathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (!support::StartsWithIgnoringAsciiCase(uri, kScheme)) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  uri = uri.substr(0, std::min(uri.find('?'), uri.find('#')));
  const std::size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  if (const std::string_view host = uri.substr(0, slash); !host.empty() && host != "localhost") {
    return std::nullopt;
  }
  std::string path;
  for (std::size_t at = slash; at < uri.size(); ++at) {
    if (uri[at] != '%') {
      path += uri[at];
      continue;
    }
    const int high = at + 2 < uri.size() ? support::AsciiHexDigitValue(uri[at + 1]) : -1;
    const int low = high >= 0 ? support::AsciiHexDigitValue(uri[at + 2]) : -1;
    if (low < 0) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    at += 2;
  }
  if (IsDrive(path)) path.erase(0, 1);
  return path;
}

std::string FileUriOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  if (!path.empty() && path[0] != '/') uri += '/';  // a drive
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (support::IsAsciiAlnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~' ||
        (c == ':' && uri.size() == 9)) {  // file:///C:
      uri += c;
    } else {
      uri.append(1, '%').append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    }
  }
  return uri;
}

}  // namespace lexivane::frontend::lsp

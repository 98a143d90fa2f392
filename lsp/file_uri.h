// The file a `file:` URI names, and the URI of a file, as the protocol's clients write them:
// `file://` with an empty host (or `localhost`), then the absolute path with each byte outside
// the unreserved characters and `/` percent-encoded. A path on a drive (`file:///C:/x`) is
// `C:/x`. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexivane::frontend::lsp {

// Nullopt for another scheme, another host, or a broken percent-encoding.
std::optional<std::string> FilePathOfUri(std::string_view uri);
// `path`: absolute.
std::string FileUriOf(std::string_view path);

}  // namespace lexivane::frontend::lsp

// Which parts of an open document the server checks: the document mode that its language (the
// `languageId` the client gives when it opens it) calls for, or, for a language the server does
// not know, the mode its file name calls for, as the rest of the tool picks it. Pure; any thread.
#pragma once

#include <string_view>

#include "frontend/modes/document_modes.h"

namespace lexivane::frontend::lsp {

DocumentMode ModeOfDocument(std::string_view language_id, std::string_view uri);

}  // namespace lexivane::frontend::lsp

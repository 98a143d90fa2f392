// The tables prepared from the word list when the component was built, embedded into the
// component's own file (see support/embed.h). The word list itself is embedded the way each
// platform keeps data in a module: embedded_data_posix.cc and embedded_data_win32.cc.
#include "platform/module.h"
#include "support/embed.h"

LEXIVANE_EMBED(lexivane_prepared_tables, LEXIVANE_PREPARED_TABLES_FILE);

namespace lexivane::platform {

std::span<const std::uint8_t> EmbeddedPreparedTables() {
  return LEXIVANE_EMBEDDED_BYTES(lexivane_prepared_tables);
}

}  // namespace lexivane::platform

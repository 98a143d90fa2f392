// The tables prepared from the word list when the component was built, embedded into the
// component's own file (see platform/embed.h). The word list itself is embedded the way each
// platform keeps data in a module: embedded_data_posix.cc and embedded_data_win32.cc.
#include <cstdint>

#include "platform/embed.h"
#include "platform/module.h"

LEXIVANE_EMBED("lexivane_prepared_tables", LEXIVANE_PREPARED_TABLES_FILE);

extern "C" {
extern const std::uint8_t lexivane_prepared_tables_begin[];
extern const std::uint8_t lexivane_prepared_tables_end[];
}

namespace lexivane::platform {

std::span<const std::uint8_t> EmbeddedPreparedTables() {
  return {lexivane_prepared_tables_begin, lexivane_prepared_tables_end};
}

}  // namespace lexivane::platform

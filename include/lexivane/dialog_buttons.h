// The masks that SpellCheck::DisableButtons takes: which buttons of the suggestions dialog, and
// what to do with them. Declarations only; lexivane/spell_check.h includes this header.
#pragma once

#include <cstdint>

namespace lexivane {

// The buttons of the suggestions dialog that DisableButtons can select; combine with |.
enum lvButtons : std::int32_t {
  lvIgnore = 2,
  lvChangeAll = 4,
  lvIgnoreAll = 8,
  lvAddWord = 16,
  lvSuggest = 32,
};

// What DisableButtons does to the selected buttons; combine with |. Applied in this order, so
// that a later one wins: disable, enable, hide, show.
enum lvDisableMode : std::int32_t {
  lvDisableButtons = 1,
  lvEnableButtons = 2,
  lvHideButtons = 4,
  lvShowButtons = 8,
};

}  // namespace lexivane

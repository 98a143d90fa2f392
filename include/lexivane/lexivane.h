// Lexivane: an English spell-checking component. Include this one header.
#pragma once

#include "lexivane/dialog.h"
#include "lexivane/dialog_buttons.h"
#include "lexivane/error.h"
#include "lexivane/events.h"
#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/spell_check.h"
#include "lexivane/suggestions_dialog.h"
#include "lexivane/typing_suggestions.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"
#include "lexivane/yield.h"
#include "lexivane/zlib_wrapper.h"

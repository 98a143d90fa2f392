// Lexivane: an English spell-checking component. Include this one header.
#pragma once

#include "lexivane/error.h"
#include "lexivane/spell_check.h"

// Marks the members that the shared library exports; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#define LEXIVANE_API
#elif defined(LEXIVANE_BUILDING)
#define LEXIVANE_API __attribute__((visibility("default")))
#else
#define LEXIVANE_API
#endif

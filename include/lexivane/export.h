// Marks what the shared library exports; everything else stays hidden.
//
// The library's own sources are compiled with LEXIVANE_BUILDING. On Windows a host gets
// dllimport declarations, unless it links the portable core statically (the Windows component
// and the unit tests do) and defines LEXIVANE_STATIC.
#pragma once

#if defined(_WIN32)
#if defined(LEXIVANE_BUILDING)
#define LEXIVANE_API __declspec(dllexport)
#elif defined(LEXIVANE_STATIC)
#define LEXIVANE_API
#else
#define LEXIVANE_API __declspec(dllimport)
#endif
#elif defined(LEXIVANE_BUILDING)
#define LEXIVANE_API __attribute__((visibility("default")))
#else
#define LEXIVANE_API
#endif

// ICU, loaded on first use. The library and the front ends link against these definitions of
// the few ICU functions they call rather than against libicuuc: each one finds the real
// function in libicuuc the first time it is called and hands the call on. Most texts are plain
// ASCII, which the case mapping and the word rule handle without ICU, and loading ICU at start
// (its two thousand symbol bindings, made at once, and the data library behind it) was about a
// third of what a short `lexivane list` cost.
//
// The library opened is the one of the ICU version the sources were compiled against, by its
// SONAME; as it is not among the binaries' DT_NEEDED entries, a package must name its ICU
// dependency itself. A process without it stops with a message at the first call: no answer
// would be right without it. These definitions are hidden: each binary built with them has its
// own copies, and they never stand in for ICU in another library of the process. Any thread.
#include <dlfcn.h>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/uvernum.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

#define LEXIVANE_ICU_STRING(name) #name
// The symbol's name with ICU's version suffix (the headers rename `u_tolower` to `u_tolower_72`).
#define LEXIVANE_ICU_SYMBOL(name) LEXIVANE_ICU_STRING(name)

[[noreturn]] void Fail(const char* what, const char* reason) {
  std::fprintf(stderr, "lexivane: cannot load %s from ICU: %s\n", what, reason);
  std::abort();
}

void* Library() {
  static void* const library = [] {
    constexpr const char* kSoname = "libicuuc.so." U_ICU_VERSION_SHORT;
    void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) Fail(kSoname, dlerror());
    return handle;
  }();
  return library;
}

template <typename Function>
Function Find(const std::string& symbol) {
  void* found = dlsym(Library(), symbol.c_str());
  if (found == nullptr) Fail(symbol.c_str(), dlerror());
  return reinterpret_cast<Function>(found);
}

// The mangled name of a function of ICU's versioned C++ namespace: `inner` is what follows the
// namespace in the name (class, function and parameters).
std::string CxxSymbol(const char* inner) {
  const std::string space = "icu_" U_ICU_VERSION_SHORT;
  return "_ZN" + std::to_string(space.size()) + space + inner;
}

}  // namespace

// Each C function keeps its real counterpart in a static of its own, found on its first call.
#define LEXIVANE_ICU_REAL(name) \
  static const auto real = Find<decltype(&name)>(LEXIVANE_ICU_SYMBOL(name))

U_CAPI UChar32 U_EXPORT2 u_tolower(UChar32 c) {
  LEXIVANE_ICU_REAL(u_tolower);
  return real(c);
}

U_CAPI UChar32 U_EXPORT2 u_toupper(UChar32 c) {
  LEXIVANE_ICU_REAL(u_toupper);
  return real(c);
}

U_CAPI int8_t U_EXPORT2 u_charType(UChar32 c) {
  LEXIVANE_ICU_REAL(u_charType);
  return real(c);
}

U_CAPI UBool U_EXPORT2 u_isUAlphabetic(UChar32 c) {
  LEXIVANE_ICU_REAL(u_isUAlphabetic);
  return real(c);
}

U_CAPI UBool U_EXPORT2 u_isUWhiteSpace(UChar32 c) {
  LEXIVANE_ICU_REAL(u_isUWhiteSpace);
  return real(c);
}

U_CAPI UBool U_EXPORT2 u_isalnum(UChar32 c) {
  LEXIVANE_ICU_REAL(u_isalnum);
  return real(c);
}

U_CAPI UBool U_EXPORT2 u_ispunct(UChar32 c) {
  LEXIVANE_ICU_REAL(u_ispunct);
  return real(c);
}

U_CAPI UBool U_EXPORT2 u_isspace(UChar32 c) {
  LEXIVANE_ICU_REAL(u_isspace);
  return real(c);
}

U_CAPI int32_t U_EXPORT2 u_getIntPropertyValue(UChar32 c, UProperty which) {
  LEXIVANE_ICU_REAL(u_getIntPropertyValue);
  return real(c, which);
}

U_CAPI const char* U_EXPORT2 u_errorName(UErrorCode code) {
  LEXIVANE_ICU_REAL(u_errorName);
  return real(code);
}

U_CAPI UText* U_EXPORT2 utext_openUChars(UText* ut, const UChar* s, int64_t length,
                                         UErrorCode* status) {
  LEXIVANE_ICU_REAL(utext_openUChars);
  return real(ut, s, length, status);
}

U_CAPI UText* U_EXPORT2 utext_close(UText* ut) {
  LEXIVANE_ICU_REAL(utext_close);
  return real(ut);
}

U_NAMESPACE_BEGIN

BreakIterator* BreakIterator::createWordInstance(const Locale& where, UErrorCode& status) {
  static const auto real = Find<BreakIterator* (*)(const Locale&, UErrorCode&)>(
      CxxSymbol("13BreakIterator18createWordInstanceERKNS_6LocaleER10UErrorCode"));
  return real(where, status);
}

const Locale& U_EXPORT2 Locale::getEnglish() {
  static const auto real = Find<const Locale& (*)()>(CxxSymbol("6Locale10getEnglishEv"));
  return real();
}

const Normalizer2* Normalizer2::getNFCInstance(UErrorCode& status) {
  static const auto real = Find<const Normalizer2* (*)(UErrorCode&)>(
      CxxSymbol("11Normalizer214getNFCInstanceER10UErrorCode"));
  return real(status);
}

U_NAMESPACE_END

// The automation types at the component's boundary and their conversions to the engine's: BSTR
// to and from UTF-16 strings, VARIANT_BOOL to and from bool, and the array of VARIANTs that
// GetSuggestions fills.
//
// The boundary rules (docs/component.md, "Boundary rules"): a NULL BSTR is the empty string; a
// VARIANT_BOOL argument is true when it is non-zero, and a result is VARIANT_TRUE (-1) or
// VARIANT_FALSE; a suggestion array handed out is one-dimensional, 0-based, of VT_BSTR VARIANTs,
// or NULL when it would be empty. Nothing here keeps state; every function may run on any thread.
// Functions that allocate throw std::bad_alloc when the system's allocator fails.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <vector>

namespace lexivane::component {

// The characters of a BSTR, up to its recorded length (embedded NULs included).
std::u16string_view FromBstr(BSTR text);

// A new BSTR that the caller frees with SysFreeString.
BSTR ToBstr(std::u16string_view text);

inline bool FromVariantBool(VARIANT_BOOL value) {
  return value != VARIANT_FALSE;
}
inline VARIANT_BOOL ToVariantBool(bool value) {
  return value ? VARIANT_TRUE : VARIANT_FALSE;
}

// An owned BSTR, freed when it goes out of scope.
class Bstr {
 public:
  explicit Bstr(std::u16string_view text) : text_(ToBstr(text)) {}
  ~Bstr() { ::SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return text_; }
  BSTR release() {
    BSTR text = text_;
    text_ = nullptr;
    return text;
  }

 private:
  BSTR text_;
};

// S_OK when a caller's array may be replaced by a suggestion array: NULL, or one-dimensional
// VARIANTs that the caller lets go of. DISP_E_TYPEMISMATCH for another element type or another
// number of dimensions (checked first), DISP_E_ARRAYISLOCKED for an array that is locked or fixed
// in size (a static, embedded or fixed-size array belongs to its caller's storage and may not be
// freed).
HRESULT CheckReplaceableArray(const SAFEARRAY* array);

// A new one-dimensional, 0-based array holding each word as a VT_BSTR VARIANT; NULL for none.
SAFEARRAY* ToVariantArray(const std::vector<std::u16string>& words);

// Replaces *array (already accepted by CheckReplaceableArray) with the words: the new array is
// built before the old one is destroyed, so a failure leaves the caller's array as it was.
void ReplaceArray(SAFEARRAY** array, const std::vector<std::u16string>& words);

}  // namespace lexivane::component

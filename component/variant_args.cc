#include "component/variant_args.h"

#include <new>

namespace lexivane::component {
namespace {

// Features that mark an array as part of its owner's storage (or in use), which
// SafeArrayDestroy refuses or must not be asked to free.
constexpr USHORT kCallerOwnedFeatures = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED | FADF_FIXEDSIZE;

class ArrayGuard {
 public:
  explicit ArrayGuard(SAFEARRAY* array) : array_(array) {}
  ~ArrayGuard() {
    if (array_ != nullptr) ::SafeArrayDestroy(array_);
  }
  ArrayGuard(const ArrayGuard&) = delete;
  ArrayGuard& operator=(const ArrayGuard&) = delete;
  SAFEARRAY* get() const { return array_; }
  SAFEARRAY* release() {
    SAFEARRAY* array = array_;
    array_ = nullptr;
    return array;
  }

 private:
  SAFEARRAY* array_;
};

}  // namespace

std::u16string_view FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return {reinterpret_cast<const char16_t*>(text), ::SysStringLen(text)};
}

BSTR ToBstr(std::u16string_view text) {
  BSTR result = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                    static_cast<UINT>(text.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

HRESULT CheckReplaceableArray(const SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  VARTYPE type = VT_EMPTY;
  // SafeArrayGetVartype takes a non-const pointer but only reads.
  SAFEARRAY* readable = const_cast<SAFEARRAY*>(array);
  if (array->cDims != 1 || FAILED(::SafeArrayGetVartype(readable, &type)) || type != VT_VARIANT) {
    return DISP_E_TYPEMISMATCH;
  }
  if (array->cLocks != 0 || (array->fFeatures & kCallerOwnedFeatures) != 0) {
    return DISP_E_ARRAYISLOCKED;
  }
  return S_OK;
}

SAFEARRAY* ToVariantArray(const std::vector<std::u16string>& words) {
  if (words.empty()) return nullptr;
  // SafeArrayCreate rather than SafeArrayCreateVector: an array of the latter kind, reallocated
  // across an apartment boundary, is freed wrongly by some marshallers.
  SAFEARRAYBOUND bound{static_cast<ULONG>(words.size()), 0};
  ArrayGuard array(::SafeArrayCreate(VT_VARIANT, 1, &bound));
  if (array.get() == nullptr) throw std::bad_alloc();
  for (LONG index = 0; index < static_cast<LONG>(words.size()); ++index) {
    Bstr word(words[static_cast<std::size_t>(index)]);
    VARIANT item;
    V_VT(&item) = VT_BSTR;
    V_BSTR(&item) = word.get();
    // The array stores a copy of the string; ours is freed with `word`.
    if (FAILED(::SafeArrayPutElement(array.get(), &index, &item))) throw std::bad_alloc();
  }
  return array.release();
}

void ReplaceArray(SAFEARRAY** array, const std::vector<std::u16string>& words) {
  SAFEARRAY* replacement = ToVariantArray(words);
  if (*array != nullptr) ::SafeArrayDestroy(*array);
  *array = replacement;
}

}  // namespace lexivane::component

#include "component/spell_check_object.h"

#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <vector>

#include "component/com_error.h"
#include "component/connection_point.h"
#include "component/dispatch_arguments.h"
#include "component/event_forwarder.h"
#include "component/module_lifetime.h"
#include "component/variant_args.h"
#include "lexivane/spell_check.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kNullPointer[] = L"a required pointer argument is NULL";

// What no member can take, refused before anything reads it: counts without their arrays, more
// names than arguments, and the value of a property put anywhere but in a put, once.
HRESULT CheckDispatchParameters(WORD flags, const DISPPARAMS* parameters) {
  if (parameters == nullptr) return E_INVALIDARG;
  if ((parameters->cArgs > 0 && parameters->rgvarg == nullptr) ||
      (parameters->cNamedArgs > 0 && parameters->rgdispidNamedArgs == nullptr) ||
      parameters->cNamedArgs > parameters->cArgs) {
    return E_INVALIDARG;
  }
  UINT put_values = 0;
  for (UINT i = 0; i < parameters->cNamedArgs; ++i) {
    if (parameters->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) ++put_values;
  }
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put ? put_values != 1 : put_values != 0) return DISP_E_PARAMNOTFOUND;
  return S_OK;
}

class SpellCheckObject final : public _SpellCheck,
                               public IConnectionPointContainer,
                               public IProvideClassInfo2,
                               public ISupportErrorInfo {
 public:
  SpellCheckObject() { ObjectCreated(); }
  ~SpellCheckObject() { ObjectDestroyed(); }
  SpellCheckObject(const SpellCheckObject&) = delete;
  SpellCheckObject& operator=(const SpellCheckObject&) = delete;

  IUnknown* Identity() { return static_cast<_SpellCheck*>(this); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override;

  // _SpellCheck
  STDMETHODIMP get_SuggestionSimilarity(float* retval) override;
  STDMETHODIMP put_SuggestionSimilarity(float* fPercentage) override;
  STDMETHODIMP DisableButtons(::lvButtons* Buttons, ::lvDisableMode* Mode) override;
  STDMETHODIMP CheckWord(BSTR sWord, VARIANT_BOOL bCheckCustom, VARIANT_BOOL* retval) override;
  STDMETHODIMP GetSuggestions(BSTR sWord, SAFEARRAY** SuggOut, VARIANT_BOOL bCheckCustom,
                              LONG* retval) override;
  STDMETHODIMP AddToCustom(BSTR sWord, VARIANT* retval) override;
  STDMETHODIMP SaveCustom(BSTR sFile, VARIANT* retval) override;
  STDMETHODIMP LoadCustom(BSTR sFile, VARIANT_BOOL* retval) override;
  STDMETHODIMP ShowSuggestionDialog(BSTR sWord, VARIANT_BOOL* bChangeAll, VARIANT_BOOL* bIgnoreAll,
                                    VARIANT* retval) override;
  STDMETHODIMP CheckText(BSTR sText, VARIANT_BOOL ShowDialog, VARIANT* retval) override;
  STDMETHODIMP Init(BSTR sName, BSTR sKey, VARIANT_BOOL* ForASP, VARIANT* retval) override;
  STDMETHODIMP ReplaceWord(BSTR* Text, BSTR* Find, BSTR* Replace, BSTR* retval) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  // Finds the two views of the dual interface once: the dispatch view, which hosts read, and
  // the vtable view, which the type library's Invoke is given. Invoke on the dispatch view may
  // route the call back through this object's IDispatch::Invoke.
  HRESULT LoadTypeInfo();

  ULONG references_ = 1;
  // The engine raises events to the forwarder only while a sink listens: a run without one
  // calls no code of the host, and its yield need not look at the message queue each time.
  ConnectionPoint connection_point_{*this, [this](bool listening) {
                                      if (listening) {
                                        engine_.Advise(&forwarder_);
                                      } else {
                                        engine_.Unadvise(&forwarder_);
                                      }
                                    }};
  EventForwarder forwarder_{connection_point_, *Identity()};
  // Declared after the forwarder, so that the engine, which calls it, goes first.
  SpellCheck engine_;
  ComPtr<ITypeInfo> dispatch_view_;
  ComPtr<ITypeInfo> vtable_view_;
};

STDMETHODIMP SpellCheckObject::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__SpellCheck) {
    *out = static_cast<_SpellCheck*>(this);
  } else if (riid == IID_IConnectionPointContainer) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) {
    *out = static_cast<IProvideClassInfo2*>(this);
  } else if (riid == IID_ISupportErrorInfo) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT SpellCheckObject::LoadTypeInfo() {
  if (vtable_view_ != nullptr) return S_OK;
  ComPtr<ITypeInfo> found;
  HRESULT result = component::GetTypeInfo(IID__SpellCheck, &found);
  if (FAILED(result)) return result;
  TYPEATTR* attributes = nullptr;
  result = found->GetTypeAttr(&attributes);
  if (FAILED(result)) return result;
  const TYPEKIND kind = attributes->typekind;
  found->ReleaseTypeAttr(attributes);

  // For a dual interface, the implemented type -1 of either view is the other view.
  HREFTYPE other_reference = 0;
  ComPtr<ITypeInfo> other;
  result = found->GetRefTypeOfImplType(static_cast<UINT>(-1), &other_reference);
  if (SUCCEEDED(result)) result = found->GetRefTypeInfo(other_reference, &other);
  if (FAILED(result)) return result;
  dispatch_view_ = kind == TKIND_DISPATCH ? found : other;
  vtable_view_ = kind == TKIND_DISPATCH ? other : found;
  return S_OK;
}

STDMETHODIMP SpellCheckObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP SpellCheckObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const HRESULT result = LoadTypeInfo();
  if (FAILED(result)) return result;
  return dispatch_view_.CopyTo(out);
}

STDMETHODIMP SpellCheckObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                             DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const HRESULT result = LoadTypeInfo();
  if (FAILED(result)) return result;
  return ::DispGetIDsOfNames(dispatch_view_.Get(), names, count, ids);
}

STDMETHODIMP SpellCheckObject::Invoke(DISPID member, REFIID riid, LCID, WORD flags,
                                      DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                      UINT* argument_error) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const HRESULT well_formed = CheckDispatchParameters(flags, parameters);
  if (FAILED(well_formed)) return well_formed;
  const HRESULT loaded = LoadTypeInfo();
  if (FAILED(loaded)) return loaded;
  return Guarded([&] {
    DispatchArguments arguments(member, flags, *parameters);
    const HRESULT invoked =
        ::DispInvoke(static_cast<_SpellCheck*>(this), vtable_view_.Get(), member, flags,
                     arguments.get(), result, exception, argument_error);
    if (SUCCEEDED(invoked)) arguments.KeepResults();
    return invoked;
  });
}

STDMETHODIMP SpellCheckObject::get_SuggestionSimilarity(float* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  *retval = engine_.SuggestionSimilarity();
  return S_OK;
}

STDMETHODIMP SpellCheckObject::put_SuggestionSimilarity(float* fPercentage) {
  if (fPercentage == nullptr) return Fail(E_POINTER, kNullPointer);
  engine_.SetSuggestionSimilarity(*fPercentage);
  return S_OK;
}

STDMETHODIMP SpellCheckObject::DisableButtons(::lvButtons* Buttons, ::lvDisableMode* Mode) {
  if (Buttons == nullptr || Mode == nullptr) return Fail(E_POINTER, kNullPointer);
  return Guarded([&] {
    engine_.DisableButtons(static_cast<std::int32_t>(*Buttons), static_cast<std::int32_t>(*Mode));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::CheckWord(BSTR sWord, VARIANT_BOOL bCheckCustom,
                                         VARIANT_BOOL* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  return Guarded([&] {
    *retval = ToVariantBool(engine_.CheckWord(FromBstr(sWord), FromVariantBool(bCheckCustom)));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::GetSuggestions(BSTR sWord, SAFEARRAY** SuggOut,
                                              VARIANT_BOOL bCheckCustom, LONG* retval) {
  if (SuggOut == nullptr || retval == nullptr) return Fail(E_POINTER, kNullPointer);
  // An array of another kind is refused before any work; a fixed-size or locked one only when
  // it would have to be replaced.
  const HRESULT replaceable = CheckReplaceableArray(*SuggOut);
  if (replaceable == DISP_E_TYPEMISMATCH) {
    return Fail(replaceable, L"SuggOut must be a one-dimensional array of Variants");
  }
  return Guarded([&] {
    // The engine leaves its list untouched for a word too short to suggest for, and replaces
    // it otherwise. No list it gives holds exactly one empty string (an empty word is never
    // similar enough), so that one tells the two apart.
    std::vector<std::u16string> suggestions(1);
    const LONG ranked =
        engine_.GetSuggestions(FromBstr(sWord), suggestions, FromVariantBool(bCheckCustom));
    *retval = ranked;
    if (suggestions.size() == 1 && suggestions.front().empty()) return S_OK;
    if (FAILED(replaceable)) {
      return Fail(replaceable, L"SuggOut is a fixed-size or locked array");
    }
    ReplaceArray(SuggOut, suggestions);
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::AddToCustom(BSTR sWord, VARIANT* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  ::VariantInit(retval);
  return Guarded([&] {
    engine_.AddToCustom(FromBstr(sWord));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::SaveCustom(BSTR sFile, VARIANT* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  ::VariantInit(retval);
  return Guarded([&] {
    engine_.SaveCustom(FromBstr(sFile));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::LoadCustom(BSTR sFile, VARIANT_BOOL* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  return Guarded([&] {
    *retval = ToVariantBool(engine_.LoadCustom(FromBstr(sFile)));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::ShowSuggestionDialog(BSTR sWord, VARIANT_BOOL* bChangeAll,
                                                    VARIANT_BOOL* bIgnoreAll, VARIANT* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  ::VariantInit(retval);
  // The dialog runs a message loop, where host code may release the object.
  const ComPtr<IUnknown> hold(Identity());
  return Guarded([&] {
    bool change_all = false;
    bool ignore_all = false;
    const std::optional<std::u16string> answer =
        engine_.ShowSuggestionDialog(FromBstr(sWord), &change_all, &ignore_all);
    if (answer) {
      V_BSTR(retval) = ToBstr(*answer);
      V_VT(retval) = VT_BSTR;
    } else {
      V_VT(retval) = VT_BOOL;
      V_BOOL(retval) = VARIANT_FALSE;
    }
    if (bChangeAll != nullptr) *bChangeAll = ToVariantBool(change_all);
    if (bIgnoreAll != nullptr) *bIgnoreAll = ToVariantBool(ignore_all);
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::CheckText(BSTR sText, VARIANT_BOOL ShowDialog, VARIANT* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  ::VariantInit(retval);
  // Event handlers and the message loop run host code, which may release the object.
  const ComPtr<IUnknown> hold(Identity());
  return Guarded([&] {
    engine_.CheckText(FromBstr(sText), FromVariantBool(ShowDialog));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::Init(BSTR sName, BSTR sKey, VARIANT_BOOL*, VARIANT* retval) {
  if (retval == nullptr) return Fail(E_POINTER, kNullPointer);
  ::VariantInit(retval);
  // ForASP, like the other two, has no effect and is handed back as it came.
  return Guarded([&] {
    engine_.Init(FromBstr(sName), FromBstr(sKey));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::ReplaceWord(BSTR* Text, BSTR* Find, BSTR* Replace, BSTR* retval) {
  if (Text == nullptr || Find == nullptr || Replace == nullptr || retval == nullptr) {
    return Fail(E_POINTER, kNullPointer);
  }
  *retval = nullptr;
  // The three strings are passed by reference for compatibility only; none is written.
  return Guarded([&] {
    *retval = ToBstr(engine_.ReplaceWord(FromBstr(*Text), FromBstr(*Find), FromBstr(*Replace)));
    return S_OK;
  });
}

STDMETHODIMP SpellCheckObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return EnumerateConnectionPoint(&connection_point_, out);
}

STDMETHODIMP SpellCheckObject::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (riid != DIID___SpellCheck) return CONNECT_E_NOCONNECTION;
  *out = &connection_point_;
  connection_point_.AddRef();
  return S_OK;
}

STDMETHODIMP SpellCheckObject::GetClassInfo(ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return component::GetTypeInfo(CLSID_SpellCheck, out);
}

STDMETHODIMP SpellCheckObject::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___SpellCheck;
  return S_OK;
}

STDMETHODIMP SpellCheckObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == IID__SpellCheck ? S_OK : S_FALSE;
}

}  // namespace

HRESULT CreateSpellCheckObject(IUnknown* outer, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return Guarded([&] {
    auto* object = new SpellCheckObject();
    const HRESULT result = object->QueryInterface(riid, out);
    object->Release();
    return result;
  });
}

}  // namespace lexivane::component

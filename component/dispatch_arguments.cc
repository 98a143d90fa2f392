#include "component/dispatch_arguments.h"

#include <oleauto.h>

#include <iterator>

namespace lexivane::component {
namespace {

// The dispatch identifiers of the members whose arguments need adjusting.
constexpr DISPID kSuggestionSimilarity = 0x68030000;
constexpr DISPID kDisableButtons = 0x60030001;
constexpr DISPID kGetSuggestions = 0x60030003;
constexpr DISPID kSaveCustom = 0x60030007;
constexpr DISPID kLoadCustom = 0x60030008;
constexpr DISPID kShowSuggestionDialog = 0x60030009;
constexpr DISPID kInit = 0x6003000C;
constexpr DISPID kReplaceWord = 0x6003000E;

constexpr DISPID kSuggOut = 1;  // GetSuggestions(sWord, SuggOut, bCheckCustom)

struct NoDefaultOptional {
  DISPID member;
  DISPID parameter;
  VARTYPE type;
};
// In the order of the parameters, as the type library lists them.
constexpr NoDefaultOptional kNoDefaultOptionals[] = {
    {kSaveCustom, 0, VT_BSTR},
    {kLoadCustom, 0, VT_BSTR},
    {kShowSuggestionDialog, 1, VT_BYREF | VT_BOOL},
    {kShowSuggestionDialog, 2, VT_BYREF | VT_BOOL},
    // ForASP has the default False, but a by-reference default is one that not every Invoke
    // supplies for an argument passed as missing; a stand-in holding False does the same.
    {kInit, 2, VT_BYREF | VT_BOOL},
};

// The by-reference parameters of a type other than Variant. `written`: the member stores a
// result there, which a variable of another type receives after the call.
struct TypedByReference {
  DISPID member;
  WORD invoke_kind;
  DISPID parameter;  // DISPID_PROPERTYPUT for the value of a property put
  VARTYPE type;
  bool written;
};
constexpr TypedByReference kTypedByReference[] = {
    {kSuggestionSimilarity, DISPATCH_PROPERTYPUT, DISPID_PROPERTYPUT, VT_R4, false},
    {kDisableButtons, DISPATCH_METHOD, 0, VT_I4, false},
    {kDisableButtons, DISPATCH_METHOD, 1, VT_I4, false},
    {kShowSuggestionDialog, DISPATCH_METHOD, 1, VT_BOOL, true},
    {kShowSuggestionDialog, DISPATCH_METHOD, 2, VT_BOOL, true},
    {kInit, DISPATCH_METHOD, 2, VT_BOOL, false},
    {kReplaceWord, DISPATCH_METHOD, 0, VT_BSTR, false},
    {kReplaceWord, DISPATCH_METHOD, 1, VT_BSTR, false},
    {kReplaceWord, DISPATCH_METHOD, 2, VT_BSTR, false},
};

bool IsOmitted(const VARIANT& argument) {
  return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

// A VT_BYREF | type argument that points at the value a variant of that type holds.
VARIANT ReferenceTo(VARIANT& value, VARTYPE type) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | type;
  switch (type) {
    case VT_BOOL:
      V_BOOLREF(&reference) = &V_BOOL(&value);
      break;
    case VT_BSTR:
      V_BSTRREF(&reference) = &V_BSTR(&value);
      break;
    case VT_R4:
      V_R4REF(&reference) = &V_R4(&value);
      break;
    default:
      V_I4REF(&reference) = &V_I4(&value);
      break;
  }
  return reference;
}

}  // namespace

DispatchArguments::DispatchArguments(DISPID member, WORD flags, DISPPARAMS& caller)
    : caller_(caller), adjusted_(caller) {
  if (caller.cNamedArgs > caller.cArgs) return;
  // Enough room for every change, so that none goes unrecorded and no stand-in moves.
  replaced_.reserve(8);
  coerced_.reserve(std::size(kTypedByReference));
  try {
    ReshapeScriptArray(member, flags);
    LendTypedReferences(member, flags);
    SupplyOmitted(member, flags);
  } catch (...) {
    Restore();
    throw;
  }
}

DispatchArguments::~DispatchArguments() {
  Restore();
}

void DispatchArguments::KeepResults() {
  for (const WriteBack& write_back : write_backs_) {
    if (SUCCEEDED(::VariantClear(write_back.variable))) {
      ::VariantCopy(write_back.variable, write_back.value);
    }
  }
  write_backs_.clear();
}

void DispatchArguments::Restore() {
  write_backs_.clear();
  for (VARIANT& value : coerced_) ::VariantClear(&value);
  coerced_.clear();
  for (auto change = replaced_.rbegin(); change != replaced_.rend(); ++change) {
    *change->argument = change->original;
  }
  replaced_.clear();
  if (emptied_array_ != nullptr && V_ARRAY(emptied_array_) == nullptr) {
    V_VT(emptied_array_) = emptied_type_;
  }
  emptied_array_ = nullptr;
  if (!refused_array_ && scratch_array_ != nullptr) ::SafeArrayDestroy(scratch_array_);
  scratch_array_ = nullptr;
  refused_array_ = false;
}

VARIANT* DispatchArguments::Find(DISPID parameter) const {
  for (UINT i = 0; i < caller_.cNamedArgs; ++i) {
    if (caller_.rgdispidNamedArgs[i] == parameter) return &caller_.rgvarg[i];
  }
  const UINT positional = caller_.cArgs - caller_.cNamedArgs;
  // Positional arguments come last, in reverse order: the first parameter is the last one.
  if (parameter >= 0 && static_cast<UINT>(parameter) < positional) {
    return &caller_.rgvarg[caller_.cArgs - 1 - static_cast<UINT>(parameter)];
  }
  return nullptr;
}

void DispatchArguments::Replace(VARIANT* argument, const VARIANT& value) {
  replaced_.push_back({argument, *argument});
  *argument = value;
}

void DispatchArguments::SupplyOmitted(DISPID member, WORD flags) {
  if ((flags & DISPATCH_METHOD) == 0) return;
  int flags_used = 0;
  auto stand_in = [&](VARTYPE type) {
    VARIANT value;
    V_VT(&value) = type;
    if (type == VT_BSTR) {
      V_BSTR(&value) = nullptr;  // the empty string
    } else {
      V_BOOLREF(&value) = &scratch_flags_[flags_used++];
    }
    return value;
  };

  const UINT positional = caller_.cArgs - caller_.cNamedArgs;
  std::vector<VARIANT> added;  // in the order of the parameters
  for (const NoDefaultOptional& parameter : kNoDefaultOptionals) {
    if (parameter.member != member) continue;
    if (VARIANT* argument = Find(parameter.parameter)) {
      if (IsOmitted(*argument)) Replace(argument, stand_in(parameter.type));
    } else if (static_cast<UINT>(parameter.parameter) == positional + added.size()) {
      added.push_back(stand_in(parameter.type));
    }
  }
  if (added.empty()) return;

  // Named arguments first, then the positional ones from the last parameter to the first.
  arguments_.assign(caller_.rgvarg, caller_.rgvarg + caller_.cNamedArgs);
  arguments_.insert(arguments_.end(), added.rbegin(), added.rend());
  arguments_.insert(arguments_.end(), caller_.rgvarg + caller_.cNamedArgs,
                    caller_.rgvarg + caller_.cArgs);
  adjusted_.rgvarg = arguments_.data();
  adjusted_.cArgs = static_cast<UINT>(arguments_.size());
}

void DispatchArguments::LendTypedReferences(DISPID member, WORD flags) {
  for (const TypedByReference& parameter : kTypedByReference) {
    if (parameter.member != member || (flags & parameter.invoke_kind) == 0) continue;
    VARIANT* argument = Find(parameter.parameter);
    if (argument == nullptr || V_VT(argument) != (VT_BYREF | VT_VARIANT)) continue;
    VARIANT* variable = V_VARIANTREF(argument);
    if (variable == nullptr) continue;
    if (V_VT(variable) == (VT_BYREF | parameter.type)) {
      Replace(argument, *variable);  // a variable that is itself a reference
    } else if (V_VT(variable) == parameter.type) {
      Replace(argument, ReferenceTo(*variable, parameter.type));
    } else {
      // Another type: the member works on a converted copy. A value it cannot be converted
      // to is left for Invoke to refuse.
      VARIANT& copy = coerced_.emplace_back();
      ::VariantInit(&copy);
      if (FAILED(::VariantChangeType(&copy, variable, 0, parameter.type))) {
        coerced_.pop_back();
        continue;
      }
      Replace(argument, ReferenceTo(copy, parameter.type));
      if (parameter.written) write_backs_.push_back({variable, &copy});
    }
  }
}

void DispatchArguments::ReshapeScriptArray(DISPID member, WORD flags) {
  if (member != kGetSuggestions || (flags & DISPATCH_METHOD) == 0) return;
  VARIANT* argument = Find(kSuggOut);
  if (argument == nullptr) return;
  SAFEARRAY** array = nullptr;
  if (V_VT(argument) == VT_EMPTY || V_VT(argument) == VT_NULL ||
      V_VT(argument) == (VT_ARRAY | VT_VARIANT)) {
    // By value, as a language without references passes a variable (JScript's undefined or
    // null): the member gets an array of its own, which nobody receives; an array passed by
    // value is the caller's to keep.
    array = &scratch_array_;
  } else if ((V_VT(argument) & VT_BYREF) != 0 && (V_VT(argument) & VT_ARRAY) != 0) {
    // An array of another element type by reference reaches the member, which refuses it
    // with error information and leaves it alone.
    if (V_VT(argument) == (VT_BYREF | VT_ARRAY | VT_VARIANT)) return;
    array = V_ARRAYREF(argument);
  } else if ((V_VT(argument) & VT_BYREF) == 0 && (V_VT(argument) & VT_ARRAY) != 0) {
    scratch_array_ = V_ARRAY(argument);  // refused by the member, never replaced
    refused_array_ = true;
    array = &scratch_array_;
  } else if (V_VT(argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(argument) != nullptr) {
    // A script's variable: an array (Dim a(9), ReDim: a reference to the script's storage),
    // or Empty or Null, which receive an array when the member stores one.
    VARIANT* variable = V_VARIANTREF(argument);
    if ((V_VT(variable) & VT_ARRAY) != 0 && (V_VT(variable) & VT_BYREF) != 0) {
      array = V_ARRAYREF(variable);
    } else if ((V_VT(variable) & VT_ARRAY) != 0) {
      array = &V_ARRAY(variable);
    } else if (V_VT(variable) == VT_EMPTY || V_VT(variable) == VT_NULL) {
      emptied_type_ = V_VT(variable);
      V_VT(variable) = VT_ARRAY | VT_VARIANT;
      V_ARRAY(variable) = nullptr;
      emptied_array_ = variable;
      array = &V_ARRAY(variable);
    } else {
      return;
    }
  } else {
    return;
  }
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&reference) = array;
  Replace(argument, reference);
}

}  // namespace lexivane::component

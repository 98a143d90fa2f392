#include "component/dispatch_arguments.h"

#include <oleauto.h>

namespace lexivane::component {
namespace {

// The dispatch identifiers of the members whose arguments need adjusting.
constexpr DISPID kGetSuggestions = 0x60030003;
constexpr DISPID kSaveCustom = 0x60030007;
constexpr DISPID kLoadCustom = 0x60030008;
constexpr DISPID kShowSuggestionDialog = 0x60030009;

constexpr UINT kSuggOutIndex = 1;  // GetSuggestions(sWord, SuggOut, bCheckCustom)

struct NoDefaultOptional {
  DISPID member;
  UINT index;
  VARTYPE type;
};
// In the order of the parameters, as the type library lists them.
constexpr NoDefaultOptional kNoDefaultOptionals[] = {
    {kSaveCustom, 0, VT_BSTR},
    {kLoadCustom, 0, VT_BSTR},
    {kShowSuggestionDialog, 1, VT_BYREF | VT_BOOL},
    {kShowSuggestionDialog, 2, VT_BYREF | VT_BOOL},
};

bool IsOmitted(const VARIANT& argument) {
  return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

}  // namespace

DispatchArguments::DispatchArguments(DISPID member, WORD flags, DISPPARAMS& caller)
    : caller_(caller), adjusted_(caller) {
  if ((flags & DISPATCH_METHOD) == 0 || caller.cNamedArgs > caller.cArgs) return;
  // Enough for every argument changed in place, so that no change goes unrecorded.
  replaced_.reserve(4);
  try {
    ReshapeScriptArray(member);
    SupplyOmitted(member);
  } catch (...) {
    Restore();
    throw;
  }
}

DispatchArguments::~DispatchArguments() {
  Restore();
}

void DispatchArguments::Restore() {
  for (auto change = replaced_.rbegin(); change != replaced_.rend(); ++change) {
    *change->argument = change->original;
  }
  if (emptied_array_ != nullptr && V_ARRAY(emptied_array_) == nullptr) {
    V_VT(emptied_array_) = VT_EMPTY;
  }
  replaced_.clear();
  emptied_array_ = nullptr;
}

VARIANT* DispatchArguments::Find(UINT index) const {
  for (UINT i = 0; i < caller_.cNamedArgs; ++i) {
    if (caller_.rgdispidNamedArgs[i] == static_cast<DISPID>(index)) return &caller_.rgvarg[i];
  }
  const UINT positional = caller_.cArgs - caller_.cNamedArgs;
  // Positional arguments come last, in reverse order: the first parameter is the last one.
  if (index < positional) return &caller_.rgvarg[caller_.cArgs - 1 - index];
  return nullptr;
}

void DispatchArguments::SupplyOmitted(DISPID member) {
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
    if (VARIANT* argument = Find(parameter.index)) {
      if (IsOmitted(*argument)) {
        replaced_.push_back({argument, *argument});
        *argument = stand_in(parameter.type);
      }
    } else if (parameter.index == positional + added.size()) {
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

void DispatchArguments::ReshapeScriptArray(DISPID member) {
  if (member != kGetSuggestions) return;
  VARIANT* argument = Find(kSuggOutIndex);
  if (argument == nullptr || V_VT(argument) != (VT_BYREF | VT_VARIANT)) return;
  VARIANT* variable = V_VARIANTREF(argument);
  if (variable == nullptr) return;
  if (V_VT(variable) == VT_EMPTY) {
    V_VT(variable) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variable) = nullptr;
    emptied_array_ = variable;
  } else if (V_VT(variable) != (VT_ARRAY | VT_VARIANT)) {
    return;
  }
  replaced_.push_back({argument, *argument});
  V_VT(argument) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(argument) = &V_ARRAY(variable);
}

}  // namespace lexivane::component

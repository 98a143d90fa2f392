// DispatchArguments: the arguments of a late-bound call to the automation object, put into the
// form that the type library's Invoke passes on correctly, for the length of one call.
//
// Two kinds of argument need it:
//  - An optional parameter without a default value (SaveCustom's and LoadCustom's sFile,
//    ShowSuggestionDialog's bChangeAll and bIgnoreAll) that the caller omitted, either by passing
//    fewer arguments or by passing VT_ERROR with DISP_E_PARAMNOTFOUND. The type library's Invoke
//    would hand the method that error value in place of a string or a pointer; it gets a NULL
//    string, or a pointer to a scratch boolean, instead.
//  - GetSuggestions' SuggOut passed as VT_BYREF | VT_VARIANT pointing at an array variable (or
//    at an Empty one), which is how script engines pass a variable by reference. Some
//    implementations of Invoke accept only VT_BYREF | VT_ARRAY | VT_VARIANT for a
//    SAFEARRAY(VARIANT)* parameter, so the argument is given in that form, pointing into the
//    caller's variable; an Empty variable that receives no array is left Empty.
//
// Arguments the caller passed are changed in place and restored by the destructor, which must run
// before the call returns to the caller. Used on the calling thread only.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <vector>

namespace lexivane::component {

class DispatchArguments {
 public:
  DispatchArguments(DISPID member, WORD flags, DISPPARAMS& caller);
  ~DispatchArguments();
  DispatchArguments(const DispatchArguments&) = delete;
  DispatchArguments& operator=(const DispatchArguments&) = delete;

  // The parameters to hand to the type library's Invoke.
  DISPPARAMS* get() { return &adjusted_; }

 private:
  // The argument for the parameter at index, or nullptr when the caller did not pass one.
  VARIANT* Find(UINT index) const;
  void SupplyOmitted(DISPID member);
  void ReshapeScriptArray(DISPID member);
  void Restore();

  DISPPARAMS& caller_;
  DISPPARAMS adjusted_;
  std::vector<VARIANT> arguments_;  // the adjusted arguments when some had to be added
  struct Replaced {
    VARIANT* argument;
    VARIANT original;
  };
  std::vector<Replaced> replaced_;    // arguments of the caller changed in place
  VARIANT* emptied_array_ = nullptr;  // an Empty variable lent out as an array
  VARIANT_BOOL scratch_flags_[2] = {VARIANT_FALSE, VARIANT_FALSE};
};

}  // namespace lexivane::component

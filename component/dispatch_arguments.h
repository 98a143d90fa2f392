// DispatchArguments: the arguments of a late-bound call to the automation object, put into the
// form that the type library's Invoke passes on correctly, for the length of one call.
//
// Three kinds of argument need it:
//  - An optional parameter without a default value (SaveCustom's and LoadCustom's sFile,
//    ShowSuggestionDialog's bChangeAll and bIgnoreAll), or by reference (Init's ForASP), that the
//    caller omitted, either by passing fewer arguments or by passing VT_ERROR with
//    DISP_E_PARAMNOTFOUND. The type library's Invoke would hand the method that error value in
//    place of a string or a pointer, or refuse it; it gets a NULL string, or a pointer to a
//    scratch boolean holding False, instead.
//  - A variable passed by reference the way script engines pass one, VT_BYREF | VT_VARIANT, for
//    a by-reference parameter of another type (ReplaceWord's strings, Init's ForASP, the
//    dialog's flags, DisableButtons' masks, the value of SuggestionSimilarity). Some
//    implementations of Invoke accept only VT_BYREF | <the parameter's type> there. A variable
//    of that type is lent as such; one of another type is converted into a copy, and receives
//    the copy after a call that succeeded only where the member writes a result (the dialog's
//    flags): a call that failed leaves the caller's variables as they were.
//  - GetSuggestions' SuggOut passed as VT_BYREF | VT_VARIANT pointing at a variable that holds
//    an array, refers to one (a script's Dim a(9)) or is Empty or Null. It is lent as
//    VT_BYREF | VT_ARRAY | VT_VARIANT pointing at the array the variable holds or refers to; an
//    Empty or Null variable that receives no array is left as it was. SuggOut passed by value
//    as Empty, Null or an array of Variants (JScript cannot pass a reference) is lent as a
//    reference to an array of the call's own, destroyed after it. An array of another element type,
//    by value or by reference, is lent the same way so that the member refuses it with error
//    information rather than the type library's Invoke without.
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

  // The call succeeded: the variables converted for it receive what the member wrote.
  void KeepResults();

 private:
  // The argument for the parameter (its 0-based position, or DISPID_PROPERTYPUT for the value
  // of a property put), or nullptr when the caller did not pass one.
  VARIANT* Find(DISPID parameter) const;
  void Replace(VARIANT* argument, const VARIANT& value);
  void SupplyOmitted(DISPID member, WORD flags);
  void LendTypedReferences(DISPID member, WORD flags);
  void ReshapeScriptArray(DISPID member, WORD flags);
  void Restore();

  DISPPARAMS& caller_;
  DISPPARAMS adjusted_;
  std::vector<VARIANT> arguments_;  // the adjusted arguments when some had to be added
  struct Replaced {
    VARIANT* argument;
    VARIANT original;
  };
  std::vector<Replaced> replaced_;  // arguments of the caller changed in place
  std::vector<VARIANT> coerced_;    // converted copies of the caller's variables; never moves
  struct WriteBack {
    VARIANT* variable;
    VARIANT* value;
  };
  std::vector<WriteBack> write_backs_;  // variables that receive their copy after the call
  VARIANT* emptied_array_ = nullptr;    // an Empty or Null variable lent out as an array
  VARTYPE emptied_type_ = VT_EMPTY;     // what it held, and holds again if no array came
  SAFEARRAY* scratch_array_ = nullptr;  // the array of a by-value SuggOut
  bool refused_array_ = false;          // ... which is the caller's, of another element type
  VARIANT_BOOL scratch_flags_[2] = {VARIANT_FALSE, VARIANT_FALSE};
};

}  // namespace lexivane::component

#include "component/dispatch_arguments.h"

#include <gtest/gtest.h>
#include <oleauto.h>

#include <vector>

namespace lexivane::component {
namespace {

constexpr DISPID kCheckWord = 0x60030002;
constexpr DISPID kGetSuggestions = 0x60030003;
constexpr DISPID kSaveCustom = 0x60030007;
constexpr DISPID kShowSuggestionDialog = 0x60030009;

VARIANT Long(LONG value) {
  VARIANT argument;
  V_VT(&argument) = VT_I4;
  V_I4(&argument) = value;
  return argument;
}

VARIANT Omitted() {
  VARIANT argument;
  V_VT(&argument) = VT_ERROR;
  V_ERROR(&argument) = DISP_E_PARAMNOTFOUND;
  return argument;
}

VARIANT ByRef(VARIANT* variable) {
  VARIANT argument;
  V_VT(&argument) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&argument) = variable;
  return argument;
}

// The types the adjusted call passes, first parameter first.
std::vector<VARTYPE> PassedTypes(const DISPPARAMS& parameters) {
  std::vector<VARTYPE> types;
  for (UINT i = parameters.cArgs; i-- > 0;) types.push_back(V_VT(&parameters.rgvarg[i]));
  return types;
}

TEST(DispatchArgumentsTest, OmittedOptionalsWithoutDefaultGetStandIns) {
  const VARTYPE kFlag = VT_BYREF | VT_BOOL;
  const struct {
    DISPID member;
    std::vector<VARIANT> reversed;
    std::vector<VARTYPE> expected;
  } cases[] = {
      {kSaveCustom, {}, {VT_BSTR}},
      {kSaveCustom, {Omitted()}, {VT_BSTR}},
      {kSaveCustom, {Long(1)}, {VT_I4}},
      {kShowSuggestionDialog, {Long(1)}, {VT_I4, kFlag, kFlag}},
      {kShowSuggestionDialog, {Omitted(), Long(1)}, {VT_I4, kFlag, kFlag}},
      {kShowSuggestionDialog, {Long(3), Omitted(), Long(1)}, {VT_I4, kFlag, VT_I4}},
      // A member whose optionals have defaults is left to the type library.
      {kCheckWord, {Long(1)}, {VT_I4}},
  };
  for (auto c : cases) {
    const std::vector<VARIANT> before = c.reversed;
    DISPPARAMS caller{c.reversed.data(), nullptr, static_cast<UINT>(c.reversed.size()), 0};
    {
      DispatchArguments arguments(c.member, DISPATCH_METHOD, caller);
      EXPECT_EQ(PassedTypes(*arguments.get()), c.expected) << std::hex << c.member;
      for (UINT i = 0; i < arguments.get()->cArgs; ++i) {
        const VARIANT& argument = arguments.get()->rgvarg[i];
        if (V_VT(&argument) == VT_BSTR) {
          EXPECT_EQ(V_BSTR(&argument), nullptr);
        } else if (V_VT(&argument) == kFlag) {
          EXPECT_EQ(*V_BOOLREF(&argument), VARIANT_FALSE);
        }
      }
    }
    // The caller's own arguments are as they were.
    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(V_VT(&c.reversed[i]), V_VT(&before[i]));
      EXPECT_EQ(V_I4(&c.reversed[i]), V_I4(&before[i]));
    }
  }
}

TEST(DispatchArgumentsTest, NamedArgumentsStayNamed) {
  VARIANT flag_value;
  V_VT(&flag_value) = VT_BOOL;
  V_BOOL(&flag_value) = VARIANT_FALSE;
  std::vector<VARIANT> reversed = {ByRef(&flag_value), Long(1)};  // bIgnoreAll:=, then sWord
  DISPID named[] = {2};
  DISPPARAMS caller{reversed.data(), named, 2, 1};
  DispatchArguments arguments(kShowSuggestionDialog, DISPATCH_METHOD, caller);
  const DISPPARAMS& adjusted = *arguments.get();
  ASSERT_EQ(adjusted.cArgs, 3u);
  EXPECT_EQ(adjusted.cNamedArgs, 1u);
  EXPECT_EQ(adjusted.rgdispidNamedArgs[0], 2);
  // A variable of the parameter's own type is lent in place: what the member writes is there.
  EXPECT_EQ(V_BOOLREF(&adjusted.rgvarg[0]), &V_BOOL(&flag_value));
  EXPECT_EQ(V_VT(&adjusted.rgvarg[1]), VT_BYREF | VT_BOOL);  // bChangeAll, supplied
  EXPECT_EQ(V_VT(&adjusted.rgvarg[2]), VT_I4);               // sWord
}

// A script passes each variable as VT_BYREF | VT_VARIANT. What the member wrote reaches a
// converted variable only when the call succeeded.
TEST(DispatchArgumentsTest, ScriptVariablesReachTypedByReferenceParameters) {
  const DISPID kSuggestionSimilarity = 0x68030000;
  const DISPID kInit = 0x6003000C;
  const DISPID kReplaceWord = 0x6003000E;
  const struct {
    DISPID member;
    WORD flags;
    UINT arguments;
    UINT position;     // the variable's parameter (a put's value is named DISPID_PROPERTYPUT)
    VARIANT variable;  // what the script's variable holds
    VARTYPE lent;      // the argument's type during the call
    VARTYPE after;     // the variable's type once the member wrote -1 through the argument
                       // and the call succeeded
  } cases[] = {
      {kReplaceWord, DISPATCH_METHOD, 3, 0, Long(0), VT_BYREF | VT_BSTR, VT_I4},
      {kInit, DISPATCH_METHOD, 3, 2, Long(5), VT_BYREF | VT_BOOL, VT_I4},
      {kShowSuggestionDialog, DISPATCH_METHOD, 3, 1, VARIANT{}, VT_BYREF | VT_BOOL, VT_BOOL},
      {kSuggestionSimilarity, DISPATCH_PROPERTYPUT, 1, 0, Long(1), VT_BYREF | VT_R4, VT_I4},
      {kCheckWord, DISPATCH_METHOD, 2, 1, Long(1), VT_BYREF | VT_VARIANT, VT_I4},
  };
  for (auto c : cases) {
    for (const bool succeeded : {true, false}) {
      VARIANT variable = c.variable;
      std::vector<VARIANT> reversed(c.arguments, Long(0));
      DISPID put = DISPID_PROPERTYPUT;
      const bool is_put = c.flags == DISPATCH_PROPERTYPUT;
      const UINT slot = is_put ? 0 : c.arguments - 1 - c.position;
      reversed[slot] = ByRef(&variable);
      DISPPARAMS caller{reversed.data(), is_put ? &put : nullptr, c.arguments, is_put ? 1u : 0u};
      {
        DispatchArguments arguments(c.member, c.flags, caller);
        VARIANT& lent = arguments.get()->rgvarg[slot];
        ASSERT_EQ(V_VT(&lent), c.lent) << std::hex << c.member;
        if (V_VT(&lent) == (VT_BYREF | VT_BOOL)) *V_BOOLREF(&lent) = VARIANT_TRUE;
        if (succeeded) arguments.KeepResults();
      }
      EXPECT_EQ(V_VT(&reversed[slot]), VT_BYREF | VT_VARIANT);
      const VARTYPE after = succeeded ? c.after : V_VT(&c.variable);
      EXPECT_EQ(V_VT(&variable), after) << std::hex << c.member << " " << succeeded;
      if (after == VT_BOOL) {
        EXPECT_EQ(V_BOOL(&variable), VARIANT_TRUE);
      } else if (after == VT_I4) {
        EXPECT_EQ(V_I4(&variable), V_I4(&c.variable));
      }
      ::VariantClear(&variable);
    }
  }
}

// (A variable holding an array is lent as a typed reference to it: basics.vbs passes one.)
TEST(DispatchArgumentsTest, AScriptsArrayVariableIsLentAsATypedArrayReference) {
  // A variable that refers to the script's own array storage lends that storage.
  SAFEARRAY* storage = nullptr;
  VARIANT variable;
  V_VT(&variable) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&variable) = &storage;
  std::vector<VARIANT> reversed = {ByRef(&variable), Long(1)};
  DISPPARAMS caller{reversed.data(), nullptr, 2, 0};
  {
    DispatchArguments arguments(kGetSuggestions, DISPATCH_METHOD, caller);
    EXPECT_EQ(V_ARRAYREF(&arguments.get()->rgvarg[0]), &storage);
  }
  EXPECT_EQ(V_ARRAYREF(&variable), &storage);

  // An Empty variable that receives no array stays Empty; one that receives an array holds it.
  SAFEARRAYBOUND bound{1, 0};
  for (const bool fill : {false, true}) {
    VARIANT empty;
    ::VariantInit(&empty);
    reversed = {ByRef(&empty), Long(1)};
    caller.rgvarg = reversed.data();
    SAFEARRAY* filled = fill ? ::SafeArrayCreate(VT_VARIANT, 1, &bound) : nullptr;
    {
      DispatchArguments arguments(kGetSuggestions, DISPATCH_METHOD, caller);
      ASSERT_EQ(V_VT(&arguments.get()->rgvarg[0]), VT_BYREF | VT_ARRAY | VT_VARIANT);
      *V_ARRAYREF(&arguments.get()->rgvarg[0]) = filled;
    }
    EXPECT_EQ(V_VT(&empty), fill ? VT_ARRAY | VT_VARIANT : VT_EMPTY);
    ::VariantClear(&empty);
  }
}

}  // namespace
}  // namespace lexivane::component

// Every member of _SpellCheck, called early-bound through the vtable and late-bound through
// IDispatch by name, the way compiled hosts call it; the errors a host sees; and what a careless
// dispatch caller may pass. What a script passes (literals, Variants, its own arrays) is left to
// the *.vbs tests beside this file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"
#include "platform/system_message.h"

#include <filesystem>
#include <fstream>

namespace lexivane::component_tests {
namespace {

using testing::HasSubstr;

// First of its suite: it needs the main thread's word list still empty.
TEST(Members, InitLoadsTheWordList) {
  ComPtr<_SpellCheck> first = CreateSpellCheck();
  EXPECT_FALSE(CheckWord(first.Get(), L"house"));
  EXPECT_TRUE(CheckWord(first.Get(), L"a"));

  Bstr name(L"any name"), key(L"any key");
  Variant result;
  EXPECT_EQ(first->Init(name.get(), key.get(), nullptr, &result), S_OK);
  ComPtr<_SpellCheck> second = CreateSpellCheck();
  EXPECT_TRUE(CheckWord(second.Get(), L"house"));

  // A compiled dispatch caller passes ForASP by reference (scripts leave it out).
  VARIANT_BOOL for_asp = VARIANT_TRUE;
  DispatchCall given(DispatchOf(second.Get()).Get(), L"Init",
                     {StringArg(name), StringArg(key), RefArg(&for_asp)});
  EXPECT_EQ(given.hr, S_OK);
  EXPECT_TRUE(CheckWord(first.Get(), L"house"));
}

TEST(Members, DispatchIdsAreTheLibrarys) {
  ComPtr<IDispatch> object = DispatchOf(CreateSpellCheck().Get());
  // The type library's test holds every member's identifier; these show that the object serves
  // them, without regard to letter case.
  EXPECT_EQ(IdOfName(object.Get(), L"SuggestionSimilarity"), 0x68030000);
  EXPECT_EQ(IdOfName(object.Get(), L"ReplaceWord"), 0x6003000E);
  EXPECT_EQ(IdOfName(object.Get(), L"checkword"), 0x60030002);

  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> type;
  ASSERT_HRESULT_SUCCEEDED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, type.GetAddressOf()));
  TYPEATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(type->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(attributes->guid, IID__SpellCheck));
  type->ReleaseTypeAttr(attributes);

  ComPtr<ISupportErrorInfo> error_support;
  ASSERT_HRESULT_SUCCEEDED(object.As(&error_support));
  EXPECT_EQ(error_support->InterfaceSupportsErrorInfo(IID__SpellCheck), S_OK);
}

TEST(Members, SuggestionSimilarityIsAPropertyOfEachObject) {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  float value = 0;
  EXPECT_EQ(object->get_SuggestionSimilarity(&value), S_OK);
  EXPECT_EQ(value, 0.8f);
  // Values outside 0 to 1 are taken as the nearer end.
  for (auto [put, get] :
       {std::pair{0.5f, 0.5f}, {2.0f, 1.0f}, {-1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}}) {
    EXPECT_EQ(object->put_SuggestionSimilarity(&put), S_OK);
    EXPECT_EQ(object->get_SuggestionSimilarity(&value), S_OK);
    EXPECT_EQ(value, get) << put;
  }
  // Each object keeps its own threshold.
  EXPECT_EQ(CreateSpellCheck()->get_SuggestionSimilarity(&value), S_OK);
  EXPECT_EQ(value, 0.8f);
}

TEST(Members, DisableButtonsTakesAMaskAndAMode) {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  lvButtons buttons = lvButtons(lvAddWord | lvIgnore);
  lvDisableMode mode = lvDisableButtons;
  EXPECT_EQ(object->DisableButtons(&buttons, &mode), S_OK);
  EXPECT_EQ(int(buttons), 18);
  EXPECT_EQ(int(mode), 1);

  // A compiled late-bound host passes its variables by reference (scripts pass literals).
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  LONG mask = 18, enable = lvEnableButtons;
  DispatchCall by_reference(dispatch.Get(), L"DisableButtons", {RefArg(&mask), RefArg(&enable)});
  EXPECT_EQ(by_reference.hr, S_OK);
}

// (basics.vbs checks True and False late-bound, compared with a script's True.) Any non-zero
// bCheckCustom is True: 255 is what Wine's type library reads back as the default; a compiled
// late-bound host may pass the flag as a number.
TEST(Members, CheckWordAnswersTrueAsMinusOneAndLooksInTheCustomDictionaryUnlessTold) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  for (const wchar_t* word : {L"the", L"a", L"123", L"", L"house.", L"HOUSE"})
    EXPECT_EQ(CheckWord(object.Get(), word), VARIANT_TRUE) << word;
  for (const wchar_t* word : {L"Teh", L"zqxv"}) EXPECT_EQ(CheckWord(object.Get(), word), 0) << word;

  AddToCustom(object.Get(), L"Zqxlexword");
  EXPECT_TRUE(CheckWord(object.Get(), L"zqxlexword"));
  EXPECT_FALSE(CheckWord(object.Get(), L"zqxlexword", VARIANT_FALSE));
  EXPECT_TRUE(CheckWord(object.Get(), L"zqxlexword", 255));
  Bstr word(L"Zqxlexword");
  DispatchCall late(DispatchOf(object.Get()).Get(), L"CheckWord",
                    {StringArg(word), ValueArg(VT_I4, 0)});
  EXPECT_EQ(late.hr, S_OK);
  EXPECT_EQ(late.value.vt, VARTYPE(VT_BOOL));
  EXPECT_EQ(late.value.boolVal, VARIANT_FALSE);
}

TEST(Members, GetSuggestionsFillsTheCallersArrayAndOffersCustomWordsUnlessTold) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  Bstr teh(L"Teh");
  SafeArray suggestions;
  LONG ranked = 0;
  EXPECT_EQ(object->GetSuggestions(teh.get(), suggestions.out(), VARIANT_TRUE, &ranked), S_OK);
  std::vector<std::wstring> words = StringsOf(suggestions.get());
  EXPECT_TRUE(ranked > 0 && ranked <= static_cast<LONG>(words.size()));
  EXPECT_THAT(words, testing::Contains(L"the"));

  // Nothing found: the array the caller passed is replaced by none at all.
  Bstr nothing(L"zzzzqqqq");
  SafeArray replaced(MakeStringArray({L"old"}));
  EXPECT_EQ(object->GetSuggestions(nothing.get(), replaced.out(), VARIANT_TRUE, &ranked), S_OK);
  EXPECT_EQ(ranked, 0L);
  EXPECT_TRUE(replaced.get() == nullptr);

  // A word too short or a number leaves the caller's array as it was. An array that is part of
  // its owner's storage (a script's Dim a(0)) may be kept so, but not be replaced.
  const USHORT kFixed = FADF_STATIC | FADF_FIXEDSIZE;
  const struct {
    const wchar_t* word;
    USHORT features;
    HRESULT expected;
  } kept_arrays[] = {{L"a", 0, S_OK},
                     {L"123", 0, S_OK},
                     {L"", 0, S_OK},
                     {L"123", kFixed, S_OK},
                     {L"teh", kFixed, DISP_E_ARRAYISLOCKED}};
  for (const auto& row : kept_arrays) {
    Bstr word(row.word);
    SafeArray kept(MakeStringArray({L"keep"}));
    kept.get()->fFeatures |= row.features;
    SAFEARRAY* before = kept.get();
    ranked = -1;
    EXPECT_EQ(object->GetSuggestions(word.get(), kept.out(), VARIANT_TRUE, &ranked), row.expected);
    if (SUCCEEDED(row.expected)) {
      EXPECT_EQ(ranked, 0);
    }
    EXPECT_EQ(kept.get(), before);
    EXPECT_THAT(StringsOf(kept.get()), testing::ElementsAre(L"keep"));
    kept.get()->fFeatures &= ~row.features;  // ours to free after all
  }

  // Custom words are offered unless bCheckCustom is False, late-bound with the flag left out too.
  AddToCustom(object.Get(), L"Zyxwabc");
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"zyxwabc");
  const struct {
    VARIANT flag;
    std::vector<std::wstring> expected;
  } calls[] = {{ValueArg(VT_ERROR, DISP_E_PARAMNOTFOUND), {L"Zyxwabc"}},
               {ValueArg(VT_BOOL, VARIANT_TRUE), {L"Zyxwabc"}},
               {ValueArg(VT_BOOL, VARIANT_FALSE), {}}};
  for (const auto& call : calls) {
    SafeArray suggestions;
    DispatchCall result(dispatch.Get(), L"GetSuggestions",
                        {StringArg(word), RefArg(suggestions.out()), call.flag});
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.value.vt, VARTYPE(VT_I4));
    EXPECT_EQ(result.value.lVal, 0L);  // custom words are offered but not counted
    EXPECT_EQ(StringsOf(suggestions.get()), call.expected);
  }
}

// The default file lies beside the DLL: saved by an omitted name (late-bound), an empty one and
// a null BSTR (early-bound), and read back by an omitted name.
TEST(Members, DefaultCustomDictionaryIsBesideTheDll) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  wchar_t dll[MAX_PATH];
  ASSERT_TRUE(GetModuleFileNameW(GetModuleHandleW(kComponentFile), dll, MAX_PATH) > 0);
  const std::filesystem::path file = std::filesystem::path(dll).replace_filename(L"lvscust.dic");
  AddToCustom(object.Get(), L"Defaultfileword");
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr empty(L"");
  for (int way = 0; way < 3; ++way) {
    DeleteFileW(file.c_str());
    if (way == 0) {
      DispatchCall result(dispatch.Get(), L"SaveCustom", {});
      EXPECT_EQ(result.hr, S_OK);
    } else {
      Variant result;
      EXPECT_EQ(object->SaveCustom(way == 1 ? empty.get() : nullptr, &result), S_OK);
    }
    std::ifstream saved(file, std::ios::binary);
    EXPECT_THAT(std::string(std::istreambuf_iterator<char>(saved), {}),
                HasSubstr("Defaultfileword\r\n"));
  }
  AddToCustom(object.Get(), L"Notsavedword");
  DispatchCall load(dispatch.Get(), L"LoadCustom", {});
  EXPECT_EQ(load.hr, S_OK);
  EXPECT_EQ(load.value.boolVal, VARIANT_TRUE);
  EXPECT_FALSE(CheckWord(object.Get(), L"notsavedword"));
  DeleteFileW(file.c_str());
}

// A save into a missing folder reaches the host as the Win32 error, with error info naming the
// component and carrying the description and the system's text for the error. (errors.vbs checks
// what a script sees of it.)
TEST(Members, SaveCustomFailureCarriesTheError) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  Bstr file(std::wstring(temp) + L"lexivane no such folder\\custom.dic");
  const std::u16string system_message = platform::SystemMessage(ERROR_PATH_NOT_FOUND);
  const std::wstring system_text(system_message.begin(), system_message.end());

  SetErrorInfo(0, nullptr);
  Variant result;
  EXPECT_EQ(object->SaveCustom(file.get(), &result), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.GetAddressOf()), S_OK);
  Bstr source, description;
  info->GetSource(source.out());
  info->GetDescription(description.out());
  EXPECT_EQ(source.str(), kProgId);
  EXPECT_THAT(description.str(), HasSubstr(system_text));
  EXPECT_GT(description.str().size(), system_text.size());

  // A file that cannot be read is False, not an error.
  VARIANT_BOOL loaded = VARIANT_TRUE;
  EXPECT_EQ(object->LoadCustom(file.get(), &loaded), S_OK);
  EXPECT_EQ(loaded, VARIANT_FALSE);
}

// The in/out strings come back as the very strings passed, early-bound and late-bound by
// reference (basics.vbs passes them by value).
TEST(Members, ReplaceWordLeavesItsArgumentsAlone) {
  ComPtr<_SpellCheck> object = CreateSpellCheck();  // needs no word list
  Bstr text(L"Teh cat, teh. tehs"), find(L"TEH"), replace(L"the"), result;
  const BSTR given[] = {text.get(), find.get(), replace.get()};
  auto check_untouched = [&] {
    EXPECT_TRUE(text.get() == given[0] && find.get() == given[1] && replace.get() == given[2]);
    EXPECT_EQ(text.str(), std::wstring(L"Teh cat, teh. tehs"));
  };
  EXPECT_EQ(object->ReplaceWord(text.out(), find.out(), replace.out(), result.out()), S_OK);
  EXPECT_EQ(result.str(), std::wstring(L"the cat, the. tehs"));
  check_untouched();

  DispatchCall by_reference(DispatchOf(object.Get()).Get(), L"ReplaceWord",
                            {RefArg(text.out()), RefArg(find.out()), RefArg(replace.out())});
  EXPECT_EQ(by_reference.hr, S_OK);
  EXPECT_EQ(by_reference.value.vt, VARTYPE(VT_BSTR));
  check_untouched();
}

// What a careless dispatch caller may pass: each call fails cleanly, and none takes the process
// down. (errors.vbs passes CheckWord too few, too many and an object for its word.)
TEST(BadCalls, BadDispatchCallsFailCleanly) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"word");
  DispatchCall replace_word(dispatch.Get(), L"ReplaceWord", {StringArg(word), StringArg(word)});
  DispatchCall init(dispatch.Get(), L"Init", {StringArg(word)});
  for (HRESULT hr : {replace_word.hr, init.hr})
    EXPECT_THAT(hr, testing::AnyOf(DISP_E_PARAMNOTOPTIONAL, DISP_E_BADPARAMCOUNT));

  DISPID id = 0;
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
            DISP_E_UNKNOWNNAME);
  DispatchCall private_id(dispatch.Get(), 0x60030004, {});
  EXPECT_EQ(private_id.hr, DISP_E_MEMBERNOTFOUND);
}

// Malformed DISPPARAMS get an error code, never a crash, and the object works on.
TEST(BadCalls, MalformedDispatchParametersAreRefused) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  constexpr DISPID kCheckWord = 0x60030002, kSimilarity = 0x68030000;
  Bstr word(L"word");
  VARIANT words[2] = {StringArg(word), StringArg(word)};
  VARIANT value = ValueArg(VT_I4, 1);
  VARIANT values[2] = {value, value};
  DISPID put[2] = {DISPID_PROPERTYPUT, DISPID_PROPERTYPUT};
  DISPID first[1] = {0};
  const struct {
    const char* what;
    DISPID member;
    WORD flags;
    DISPPARAMS parameters;
  } calls[] = {
      {"arguments counted, none given", kCheckWord, DISPATCH_METHOD, {nullptr, nullptr, 1, 0}},
      {"names counted, none given", kCheckWord, DISPATCH_METHOD, {words, nullptr, 1, 1}},
      {"more names than arguments", kCheckWord, DISPATCH_METHOD, {words, first, 1, 2}},
      {"a put's value in a method call", kCheckWord, DISPATCH_METHOD, {words, put, 1, 1}},
      {"a put's value in a get", kSimilarity, DISPATCH_PROPERTYGET, {values, put, 1, 1}},
      {"a put without its value named", kSimilarity, DISPATCH_PROPERTYPUT, {values, nullptr, 1, 0}},
      {"a put's value named twice", kSimilarity, DISPATCH_PROPERTYPUT, {values, put, 2, 2}},
  };
  for (const auto& call : calls) {
    DISPPARAMS parameters = call.parameters;
    Variant result;
    ExceptionInfo exception;
    UINT argument_error = 0;
    const HRESULT hr = dispatch->Invoke(call.member, IID_NULL, LOCALE_USER_DEFAULT, call.flags,
                                        &parameters, &result, &exception, &argument_error);
    EXPECT_TRUE(FAILED(hr)) << call.what << ": " << std::hex << hr;
  }
  EXPECT_TRUE(CheckWord(object.Get(), L"word"));
  float similarity = 0;
  EXPECT_EQ(object->get_SuggestionSimilarity(&similarity), S_OK);
  EXPECT_FLOAT_EQ(similarity, 0.8f);
}

// Every optional argument may be passed as "missing" (VT_ERROR with DISP_E_PARAMNOTFOUND, how
// compiled hosts omit one in the middle or at the end) and takes its default.
TEST(BadCalls, EveryOptionalArgumentMayBeMissing) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  AddToCustom(object.Get(), L"Missingword");
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  const VARIANT missing = ValueArg(VT_ERROR, DISP_E_PARAMNOTFOUND);
  Bstr empty(L""), custom(L"missingword"), teh(L"teh"), text(L"the cat sat");
  SafeArray suggestions;
  DispatchCall init(dispatch.Get(), L"Init", {StringArg(empty), StringArg(empty), missing});
  EXPECT_EQ(init.hr, S_OK);
  DispatchCall check(dispatch.Get(), L"CheckWord", {StringArg(custom), missing});
  EXPECT_EQ(check.hr, S_OK);
  EXPECT_EQ(V_BOOL(&check.value), VARIANT_TRUE);  // the custom dictionary counts by default
  DispatchCall suggest(dispatch.Get(), L"GetSuggestions",
                       {StringArg(teh), RefArg(suggestions.out()), missing});
  EXPECT_EQ(suggest.hr, S_OK);
  EXPECT_FALSE(StringsOf(suggestions.get()).empty());
  DispatchCall load(dispatch.Get(), L"LoadCustom", {missing});
  EXPECT_EQ(load.hr, S_OK);
  DispatchCall run(dispatch.Get(), L"CheckText", {StringArg(text), missing});  // no unknown word
  EXPECT_EQ(run.hr, S_OK);
}

// SuggOut of the wrong kind, or one that cannot be replaced, is refused early-bound with the
// caller's array left to the caller. Late-bound the type library may instead hand over a proper
// array; either way the array in the caller's hands afterwards is one it may destroy.
// (A fixed-size array for a word without suggestions: GetSuggestionsFillsTheCallersArray.)
TEST(BadCalls, WrongSuggestionArraysAreRefused) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  Bstr teh(L"teh");
  SAFEARRAYBOUND bounds[] = {{2, 0}, {2, 0}};
  const struct {
    VARTYPE type;
    UINT dimensions;
    USHORT features;
    bool locked;
    HRESULT expected;
  } arrays[] = {
      {VT_VARIANT, 2, 0, false, DISP_E_TYPEMISMATCH},
      {VT_BSTR, 1, 0, false, DISP_E_TYPEMISMATCH},
      {VT_I4, 1, 0, false, DISP_E_TYPEMISMATCH},
      {VT_VARIANT, 1, FADF_FIXEDSIZE, false, DISP_E_ARRAYISLOCKED},
      {VT_VARIANT, 1, FADF_EMBEDDED, false, DISP_E_ARRAYISLOCKED},
      {VT_VARIANT, 1, 0, true, DISP_E_ARRAYISLOCKED},
  };
  for (const auto& row : arrays) {
    SafeArray array(SafeArrayCreate(row.type, row.dimensions, bounds));
    array.get()->fFeatures |= row.features;
    if (row.locked) SafeArrayLock(array.get());
    SAFEARRAY* before = array.get();
    LONG ranked = 0;
    EXPECT_EQ(object->GetSuggestions(teh.get(), array.out(), VARIANT_TRUE, &ranked), row.expected);
    EXPECT_TRUE(array.get() == before);
    if (row.locked) SafeArrayUnlock(array.get());
    array.get()->fFeatures &= ~row.features;
  }

  // Late-bound, an array of another element type, by reference or by value, is refused by the
  // member itself, with error information, and left to the caller.
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  for (VARTYPE type : {VT_BSTR, VT_I4}) {
    for (const bool by_reference : {true, false}) {
      SafeArray array(SafeArrayCreate(type, 1, bounds));
      SAFEARRAY* before = array.get();
      VARIANT argument{};
      argument.vt = VT_ARRAY | type | (by_reference ? VT_BYREF : 0);
      if (by_reference) {
        argument.pparray = array.out();
      } else {
        argument.parray = array.get();
      }
      DispatchCall result(dispatch.Get(), L"GetSuggestions", {StringArg(teh), argument});
      EXPECT_EQ(result.hr, DISP_E_EXCEPTION) << type << " " << by_reference;
      EXPECT_EQ(result.exception.scode, DISP_E_TYPEMISMATCH);
      EXPECT_THAT(
          std::wstring(result.exception.bstrDescription ? result.exception.bstrDescription : L""),
          HasSubstr(L"SuggOut"));
      EXPECT_TRUE(array.get() == before);
    }
  }
  // A two-dimensional array of Variants may instead be handed over by the type library as a
  // proper one; either way the array in the caller's hands afterwards is one it may destroy.
  SafeArray square(SafeArrayCreate(VT_VARIANT, 2, bounds));
  SAFEARRAY* before = square.get();
  VARIANT argument{};
  argument.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  argument.pparray = square.out();
  DispatchCall result(dispatch.Get(), L"GetSuggestions", {StringArg(teh), argument});
  if (FAILED(result.hr)) {
    EXPECT_TRUE(square.get() == before);
  } else {
    EXPECT_TRUE(square.get() != before);
    StringsOf(square.get());  // fails the test unless one-dimensional of VARIANTs
  }
}

// A caller that cannot pass a reference (JScript passes its variables by value) passes Empty,
// Null or an array of Variants: the suggestions are counted, the caller's array is its own.
TEST(BadCalls, SuggestionsForACallerWithoutReferences) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr teh(L"teh");
  SAFEARRAYBOUND bound{2, 0};
  SafeArray mine(SafeArrayCreate(VT_VARIANT, 1, &bound));
  VARIANT by_value[3] = {ValueArg(VT_EMPTY, 0), ValueArg(VT_NULL, 0), {}};
  by_value[2].vt = VT_ARRAY | VT_VARIANT;
  by_value[2].parray = mine.get();
  for (const VARIANT& argument : by_value) {
    DispatchCall result(dispatch.Get(), L"GetSuggestions", {StringArg(teh), argument});
    EXPECT_EQ(result.hr, S_OK) << argument.vt;
    EXPECT_EQ(result.value.vt, VT_I4);
    EXPECT_GT(result.value.lVal, 0);
  }
  EXPECT_EQ(mine.get()->rgsabound[0].cElements, 2ul);
}

}  // namespace
}  // namespace lexivane::component_tests

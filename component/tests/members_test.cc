// Every member of _SpellCheck, called early-bound through the vtable and late-bound through
// IDispatch by name, the way compiled hosts call it; the errors a host sees; and what a careless
// dispatch caller may pass. What a script passes (literals, Variants, its own arrays) is left to
// the *.vbs tests beside this file.
#include "component/tests/client_checks.h"

#include <algorithm>

namespace lexivane::component_tests {
namespace {

bool IsTrue(VARIANT_BOOL value) {
  return value == VARIANT_TRUE;
}

// Early-bound CheckWord, failing the check when the call itself fails.
bool CheckWordEarly(_SpellCheck* object, const wchar_t* word, VARIANT_BOOL check_custom) {
  Bstr text(word);
  VARIANT_BOOL result = 0;
  CHECK_HR(object->CheckWord(text.get(), check_custom, &result), S_OK);
  // Hosts compare with True (-1); a 1 would read as "not True" in a script's If x = True.
  CHECK(result == VARIANT_TRUE || result == VARIANT_FALSE);
  return IsTrue(result);
}

void AddToCustom(_SpellCheck* object, const wchar_t* word) {
  Bstr text(word);
  Variant result;
  CHECK_HR(object->AddToCustom(text.get(), &result), S_OK);
  CHECK_EQ(result.vt, VARTYPE(VT_EMPTY));
}

void DispatchIdsAreTheLibrarys() {
  ComPtr<IDispatch> object = DispatchOf(CreateSpellCheck().Get());
  const struct {
    const wchar_t* name;
    DISPID id;
  } members[] = {
      // The type library's test holds every member's identifier; these show the object serves
      // them, without regard to letter case.
      {L"SuggestionSimilarity", kSuggestionSimilarityId},
      {L"ReplaceWord", 0x6003000E},
      {L"checkword", 0x60030002},
  };
  for (const auto& member : members) CHECK_EQ(IdOfName(object.Get(), member.name), member.id);

  UINT count = 0;
  CHECK_HR(object->GetTypeInfoCount(&count), S_OK);
  CHECK_EQ(count, 1u);
  ComPtr<ITypeInfo> type;
  REQUIRE_HR(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, type.GetAddressOf()));
  TYPEATTR* attributes = nullptr;
  REQUIRE_HR(type->GetTypeAttr(&attributes));
  CHECK(IsEqualGUID(attributes->guid, IID__SpellCheck));
  type->ReleaseTypeAttr(attributes);

  ComPtr<ISupportErrorInfo> error_support;
  REQUIRE_HR(object.As(&error_support));
  CHECK_HR(error_support->InterfaceSupportsErrorInfo(IID__SpellCheck), S_OK);
}

void InitLoadsTheWordList() {
  // The first object of this process's main thread: the thread's word list is still empty.
  ComPtr<_SpellCheck> first = CreateSpellCheck();
  CHECK(!CheckWordEarly(first.Get(), L"house", VARIANT_TRUE));
  CHECK(CheckWordEarly(first.Get(), L"a", VARIANT_TRUE));

  Bstr name(L"any name"), key(L"any key");
  Variant result;
  CHECK_HR(first->Init(name.get(), key.get(), nullptr, &result), S_OK);
  ComPtr<_SpellCheck> second = CreateSpellCheck();
  CHECK(CheckWordEarly(second.Get(), L"house", VARIANT_TRUE));

  // A compiled dispatch caller passes ForASP by reference (scripts leave it out).
  VARIANT_BOOL for_asp = VARIANT_TRUE;
  DispatchResult given;
  CallByName(DispatchOf(second.Get()).Get(), L"Init",
             {StringArg(name), StringArg(key), RefArg(&for_asp)}, given);
  CHECK_HR(given.hr, S_OK);
  CHECK(CheckWordEarly(first.Get(), L"house", VARIANT_TRUE));
}

void SuggestionSimilarityIsAPropertyOfEachObject() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  float value = 0;
  CHECK_HR(object->get_SuggestionSimilarity(&value), S_OK);
  CHECK_EQ(value, 0.8f);
  const struct {
    float put, get;
  } puts[] = {{0.5f, 0.5f}, {2.0f, 1.0f}, {-1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}};
  for (const auto& row : puts) {
    float in = row.put;
    CHECK_HR(object->put_SuggestionSimilarity(&in), S_OK);
    CHECK_HR(object->get_SuggestionSimilarity(&value), S_OK);
    CHECK_EQ(value, row.get);
  }
  // Each object keeps its own threshold.
  CHECK_HR(CreateSpellCheck()->get_SuggestionSimilarity(&value), S_OK);
  CHECK_EQ(value, 0.8f);
}

void DisableButtonsTakesAMaskAndAMode() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  lvButtons buttons = lvButtons(lvAddWord | lvIgnore);
  lvDisableMode mode = lvDisableButtons;
  CHECK_HR(object->DisableButtons(&buttons, &mode), S_OK);
  CHECK_EQ(int(buttons), 18);
  CHECK_EQ(int(mode), 1);

  // A compiled late-bound host passes its variables by reference (scripts pass literals).
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  LONG mask = 18, enable = lvEnableButtons;
  DispatchResult by_reference;
  CallByName(dispatch.Get(), L"DisableButtons", {RefArg(&mask), RefArg(&enable)}, by_reference);
  CHECK_HR(by_reference.hr, S_OK);
}

void CheckWordAnswersTrueAsMinusOne() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  const struct {
    const wchar_t* word;
    bool correct;
  } words[] = {{L"Teh", false}, {L"the", true},    {L"a", true},     {L"123", true},
               {L"", true},     {L"house.", true}, {L"HOUSE", true}, {L"zqxv", false}};
  for (const auto& row : words) {
    CHECK_EQ(CheckWordEarly(object.Get(), row.word, VARIANT_TRUE), row.correct);
    Bstr word(row.word);
    DispatchResult late;
    CallByName(dispatch.Get(), L"CheckWord", {StringArg(word)}, late);
    CHECK_HR(late.hr, S_OK);
    CHECK_EQ(late.value.vt, VARTYPE(VT_BOOL));
    CHECK_EQ(late.value.boolVal, row.correct ? VARIANT_TRUE : VARIANT_FALSE);
  }
}

void CheckWordLooksInTheCustomDictionaryUnlessTold() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  AddToCustom(object.Get(), L"Zqxlexword");
  CHECK(CheckWordEarly(object.Get(), L"zqxlexword", VARIANT_TRUE));
  CHECK(!CheckWordEarly(object.Get(), L"zqxlexword", VARIANT_FALSE));
  // Any non-zero flag is True (255 is what Wine's type library reads back as the default).
  CHECK(CheckWordEarly(object.Get(), L"zqxlexword", 255));

  // A compiled late-bound host may pass the flag as a number.
  Bstr word(L"Zqxlexword");
  DispatchResult late;
  CallByName(DispatchOf(object.Get()).Get(), L"CheckWord", {StringArg(word), LongArg(0)}, late);
  CHECK_HR(late.hr, S_OK);
  CHECK_EQ(late.value.boolVal, VARIANT_FALSE);
}

void GetSuggestionsFillsTheCallersArray() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  Bstr teh(L"Teh");
  SafeArray suggestions;
  LONG ranked = 0;
  CHECK_HR(object->GetSuggestions(teh.get(), suggestions.out(), VARIANT_TRUE, &ranked), S_OK);
  std::vector<std::wstring> words = StringsOf(suggestions.get());
  CHECK(ranked > 0 && ranked <= static_cast<LONG>(words.size()));
  CHECK(std::find(words.begin(), words.end(), std::wstring(L"the")) != words.end());

  // Nothing found: the array the caller passed is replaced by none at all.
  Bstr nothing(L"zzzzqqqq");
  SafeArray replaced(MakeStringArray({L"old"}));
  CHECK_HR(object->GetSuggestions(nothing.get(), replaced.out(), VARIANT_TRUE, &ranked), S_OK);
  CHECK_EQ(ranked, 0L);
  CHECK(replaced.get() == nullptr);

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
    CHECK_HR(object->GetSuggestions(word.get(), kept.out(), VARIANT_TRUE, &ranked), row.expected);
    if (SUCCEEDED(row.expected)) CHECK_EQ(ranked, 0L);
    CHECK(kept.get() == before);
    CHECK(StringsOf(kept.get()) == std::vector<std::wstring>{L"keep"});
    kept.get()->fFeatures &= ~row.features;  // ours to free after all
  }
}

void GetSuggestionsOffersCustomWordsUnlessTold() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  AddToCustom(object.Get(), L"Zyxwabc");
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"zyxwabc");
  const struct {
    VARIANT flag;
    std::vector<std::wstring> expected;
  } calls[] = {{MissingArg(), {L"Zyxwabc"}}, {BoolArg(true), {L"Zyxwabc"}}, {BoolArg(false), {}}};
  for (const auto& call : calls) {
    SafeArray suggestions;
    DispatchResult result;
    CallByName(dispatch.Get(), L"GetSuggestions",
               {StringArg(word), RefArg(suggestions.out()), call.flag}, result);
    CHECK_HR(result.hr, S_OK);
    CHECK_EQ(result.value.vt, VARTYPE(VT_I4));
    CHECK_EQ(result.value.lVal, 0L);  // custom words are offered but not counted
    CHECK_EQ(StringsOf(suggestions.get()), call.expected);
  }
}

// The default file lies beside the DLL: saved by an omitted name (late-bound), an empty one and
// a null BSTR (early-bound), and read back by an omitted name.
void DefaultCustomDictionaryIsBesideTheDll() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  wchar_t dll[MAX_PATH];
  REQUIRE(GetModuleFileNameW(GetModuleHandleW(kComponentFile), dll, MAX_PATH) > 0);
  std::wstring file(dll);
  file = file.substr(0, file.find_last_of(L'\\') + 1) + L"lvscust.dic";
  AddToCustom(object.Get(), L"Defaultfileword");
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr empty(L"");
  for (int way = 0; way < 3; ++way) {
    DeleteFileW(file.c_str());
    if (way == 0) {
      DispatchResult result;
      CallByName(dispatch.Get(), L"SaveCustom", {}, result);
      CHECK_HR(result.hr, S_OK);
    } else {
      Variant result;
      CHECK_HR(object->SaveCustom(way == 1 ? empty.get() : nullptr, &result), S_OK);
    }
    CHECK(ReadFileBytes(file).find("Defaultfileword\r\n") != std::string::npos);
  }
  AddToCustom(object.Get(), L"Notsavedword");
  DispatchResult load;
  CallByName(dispatch.Get(), L"LoadCustom", {}, load);
  CHECK_HR(load.hr, S_OK);
  CHECK_EQ(load.value.boolVal, VARIANT_TRUE);
  CHECK(!CheckWordEarly(object.Get(), L"notsavedword", VARIANT_TRUE));
  DeleteFileW(file.c_str());
}

std::wstring SystemMessage(DWORD error) {
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  std::wstring message(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
    message.pop_back();
  return message;
}

// A save into a missing folder reaches the host as the Win32 error, with error info naming the
// component and carrying the description and the system's text for the error. (errors.vbs checks
// what a script sees of it.)
void SaveCustomFailureCarriesTheError() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  TempFolder folder;
  Bstr file(folder.path() + L"\\no such folder\\custom.dic");
  const HRESULT expected = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  const std::wstring system_text = SystemMessage(ERROR_PATH_NOT_FOUND);

  SetErrorInfo(0, nullptr);
  Variant result;
  CHECK_HR(object->SaveCustom(file.get(), &result), expected);
  ErrorInfoText info = TakeErrorInfo();
  CHECK(info.present);
  CHECK_EQ(info.source, std::wstring(kProgId));
  CHECK(info.description.size() > system_text.size());
  CHECK(info.description.find(system_text) != std::wstring::npos);

  // A file that cannot be read is False, not an error.
  VARIANT_BOOL loaded = VARIANT_TRUE;
  CHECK_HR(object->LoadCustom(file.get(), &loaded), S_OK);
  CHECK_EQ(loaded, VARIANT_FALSE);
}

// The in/out strings come back as the very strings passed, early-bound and late-bound by
// reference (basics.vbs passes them by value).
void ReplaceWordLeavesItsArgumentsAlone() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();  // needs no word list
  Bstr text(L"Teh cat, teh. tehs"), find(L"TEH"), replace(L"the"), result;
  const BSTR given[] = {text.get(), find.get(), replace.get()};
  auto check_untouched = [&] {
    CHECK(text.get() == given[0] && find.get() == given[1] && replace.get() == given[2]);
    CHECK_EQ(text.str(), std::wstring(L"Teh cat, teh. tehs"));
  };
  CHECK_HR(object->ReplaceWord(text.out(), find.out(), replace.out(), result.out()), S_OK);
  CHECK_EQ(result.str(), std::wstring(L"the cat, the. tehs"));
  check_untouched();

  DispatchResult by_reference;
  CallByName(DispatchOf(object.Get()).Get(), L"ReplaceWord",
             {RefArg(text.out()), RefArg(find.out()), RefArg(replace.out())}, by_reference);
  CHECK_HR(by_reference.hr, S_OK);
  CHECK_EQ(by_reference.value.vt, VARTYPE(VT_BSTR));
  check_untouched();
}

// What a careless dispatch caller may pass: each call fails cleanly, and none takes the process
// down. (errors.vbs passes CheckWord too few, too many and an object for its word.)
void BadDispatchCallsFailCleanly() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"word");
  DispatchResult too_few[2];
  CallByName(dispatch.Get(), L"ReplaceWord", {StringArg(word), StringArg(word)}, too_few[0]);
  CallByName(dispatch.Get(), L"Init", {StringArg(word)}, too_few[1]);
  for (const DispatchResult& call : too_few)
    CHECK(call.hr == DISP_E_PARAMNOTOPTIONAL || call.hr == DISP_E_BADPARAMCOUNT);

  DISPID id = 0;
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  CHECK_HR(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
           DISP_E_UNKNOWNNAME);
  DispatchResult private_id;
  CallById(dispatch.Get(), 0x60030004, DISPATCH_METHOD, {}, private_id);
  CHECK_HR(private_id.hr, DISP_E_MEMBERNOTFOUND);
}

// SuggOut of the wrong kind, or one that cannot be replaced, is refused early-bound with the
// caller's array left to the caller. Late-bound the type library may instead hand over a proper
// array; either way the array in the caller's hands afterwards is one it may destroy.
// (A fixed-size array for a word without suggestions: GetSuggestionsFillsTheCallersArray.)
void WrongSuggestionArraysAreRefused() {
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
    CHECK_HR(object->GetSuggestions(teh.get(), array.out(), VARIANT_TRUE, &ranked), row.expected);
    CHECK(array.get() == before);
    if (row.locked) SafeArrayUnlock(array.get());
    array.get()->fFeatures &= ~row.features;
  }

  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  for (VARTYPE type : {VT_VARIANT, VT_I4}) {
    SafeArray array(SafeArrayCreate(type, type == VT_VARIANT ? 2 : 1, bounds));
    SAFEARRAY* before = array.get();
    VARIANT argument{};
    argument.vt = VT_BYREF | VT_ARRAY | type;
    argument.pparray = array.out();
    DispatchResult result;
    CallByName(dispatch.Get(), L"GetSuggestions", {StringArg(teh), argument}, result);
    if (FAILED(result.hr)) {
      CHECK(array.get() == before);
    } else {
      CHECK(array.get() != before);
      StringsOf(array.get());  // fails the check unless one-dimensional of VARIANTs
    }
  }
}

}  // namespace

std::vector<CheckGroup> MemberGroups() {
  return {
      {"members",
       {{"InitLoadsTheWordList", InitLoadsTheWordList},  // first: needs the thread's empty list
        {"DispatchIdsAreTheLibrarys", DispatchIdsAreTheLibrarys},
        {"SuggestionSimilarityIsAPropertyOfEachObject",
         SuggestionSimilarityIsAPropertyOfEachObject},
        {"DisableButtonsTakesAMaskAndAMode", DisableButtonsTakesAMaskAndAMode},
        {"CheckWordAnswersTrueAsMinusOne", CheckWordAnswersTrueAsMinusOne},
        {"CheckWordLooksInTheCustomDictionaryUnlessTold",
         CheckWordLooksInTheCustomDictionaryUnlessTold},
        {"GetSuggestionsFillsTheCallersArray", GetSuggestionsFillsTheCallersArray},
        {"GetSuggestionsOffersCustomWordsUnlessTold", GetSuggestionsOffersCustomWordsUnlessTold},
        {"DefaultCustomDictionaryIsBesideTheDll", DefaultCustomDictionaryIsBesideTheDll},
        {"SaveCustomFailureCarriesTheError", SaveCustomFailureCarriesTheError},
        {"ReplaceWordLeavesItsArgumentsAlone", ReplaceWordLeavesItsArgumentsAlone}}},
      {"bad_calls",
       {{"BadDispatchCallsFailCleanly", BadDispatchCallsFailCleanly},
        {"WrongSuggestionArraysAreRefused", WrongSuggestionArraysAreRefused}}},
  };
}

}  // namespace lexivane::component_tests

// Every member of _SpellCheck, called early-bound through the vtable and late-bound through
// IDispatch by name, the way compiled hosts and script hosts call it; the errors a host sees;
// and what a careless dispatch caller may pass.
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
      {L"SuggestionSimilarity", 0x68030000},
      {L"DisableButtons", 0x60030001},
      {L"CheckWord", 0x60030002},
      {L"GetSuggestions", 0x60030003},
      {L"AddToCustom", 0x60030006},
      {L"SaveCustom", 0x60030007},
      {L"LoadCustom", 0x60030008},
      {L"ShowSuggestionDialog", 0x60030009},
      {L"CheckText", 0x6003000A},
      {L"Init", 0x6003000C},
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
  CHECK_EQ(result.vt, VARTYPE(VT_EMPTY));
  ComPtr<_SpellCheck> second = CreateSpellCheck();
  CHECK(CheckWordEarly(second.Get(), L"house", VARIANT_TRUE));

  // A dispatch caller leaves ForASP out, or passes it.
  DispatchResult omitted;
  CallByName(DispatchOf(second.Get()).Get(), L"Init", {StringArg(name), StringArg(key)}, omitted);
  CHECK_HR(omitted.hr, S_OK);
  CHECK_EQ(omitted.value.vt, VARTYPE(VT_EMPTY));
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

  // Late-bound: one dispatch identifier, told apart by the invocation kind. A script passes a
  // double; the type library converts it.
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  const VARIANT values[] = {FloatArg(0.6f), [] {
                              VARIANT v{};
                              v.vt = VT_R8;
                              v.dblVal = 0.3;
                              return v;
                            }()};
  for (const VARIANT& put_value : values) {
    DispatchResult put, get;
    CallById(dispatch.Get(), kSuggestionSimilarityId, DISPATCH_PROPERTYPUT, {put_value}, put);
    CHECK_HR(put.hr, S_OK);
    CallById(dispatch.Get(), kSuggestionSimilarityId, DISPATCH_PROPERTYGET, {}, get);
    CHECK_HR(get.hr, S_OK);
    CHECK_EQ(get.value.vt, VARTYPE(VT_R4));
    float expected = put_value.vt == VT_R4 ? put_value.fltVal : float(put_value.dblVal);
    CHECK_EQ(get.value.fltVal, expected);
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

  // A script passes literals by value, a compiled host by reference.
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  DispatchResult by_value;
  CallByName(dispatch.Get(), L"DisableButtons", {LongArg(18), LongArg(lvEnableButtons)}, by_value);
  CHECK_HR(by_value.hr, S_OK);
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
  // Another object of the thread sees the word at once.
  CHECK(CheckWordEarly(CreateSpellCheck().Get(), L"zqxlexword", VARIANT_TRUE));

  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"Zqxlexword");
  const struct {
    VARIANT flag;
    VARIANT_BOOL expected;
  } calls[] = {{MissingArg(), VARIANT_TRUE},
               {BoolArg(true), VARIANT_TRUE},
               {BoolArg(false), VARIANT_FALSE},
               {LongArg(0), VARIANT_FALSE}};
  for (const auto& call : calls) {
    DispatchResult result;
    CallByName(dispatch.Get(), L"CheckWord", {StringArg(word), call.flag}, result);
    CHECK_HR(result.hr, S_OK);
    CHECK_EQ(result.value.boolVal, call.expected);
  }
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

  // A word too short or a number leaves the caller's array as it was.
  for (const wchar_t* skipped : {L"a", L"123", L""}) {
    Bstr word(skipped);
    SafeArray kept(MakeStringArray({L"keep"}));
    SAFEARRAY* before = kept.get();
    ranked = -1;
    CHECK_HR(object->GetSuggestions(word.get(), kept.out(), VARIANT_TRUE, &ranked), S_OK);
    CHECK_EQ(ranked, 0L);
    CHECK(kept.get() == before);
    CHECK(StringsOf(kept.get()) == std::vector<std::wstring>{L"keep"});
  }
  // So is an array that is part of its owner's storage, as a script's Dim a(0) is.
  Bstr number(L"123");
  SafeArray fixed(MakeStringArray({L"keep"}));
  fixed.get()->fFeatures |= FADF_STATIC | FADF_FIXEDSIZE;
  SAFEARRAY* before = fixed.get();
  CHECK_HR(object->GetSuggestions(number.get(), fixed.out(), VARIANT_TRUE, &ranked), S_OK);
  CHECK(fixed.get() == before);
  fixed.get()->fFeatures &= ~(FADF_STATIC | FADF_FIXEDSIZE);  // ours to free after all
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

  // A script engine passes its array as a reference to a VARIANT that holds it.
  Variant holder;
  holder.vt = VT_ARRAY | VT_VARIANT;
  holder.parray = MakeStringArray({});
  Bstr teh(L"teh");
  DispatchResult scripted;
  CallByName(dispatch.Get(), L"GetSuggestions", {StringArg(teh), RefArg(&holder)}, scripted);
  CHECK_HR(scripted.hr, S_OK);
  REQUIRE(holder.vt == (VT_ARRAY | VT_VARIANT));
  std::vector<std::wstring> words = StringsOf(holder.parray);
  CHECK(std::find(words.begin(), words.end(), std::wstring(L"the")) != words.end());
}

void CustomDictionaryRoundTrip() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  TempFolder folder;
  Bstr saved(folder.File(L"saved.dic")), other(folder.File(L"other.dic"));
  AddToCustom(object.Get(), L"Roundtripword");
  Variant result;
  CHECK_HR(object->SaveCustom(saved.get(), &result), S_OK);
  CHECK_EQ(result.vt, VARTYPE(VT_EMPTY));
  CHECK(ReadFileBytes(saved.str()).find("Roundtripword\r\n") != std::string::npos);

  WriteFileBytes(other.str(), "Loadedword\r\n");
  VARIANT_BOOL loaded = 0;
  CHECK_HR(object->LoadCustom(other.get(), &loaded), S_OK);
  CHECK(IsTrue(loaded));
  CHECK(CheckWordEarly(object.Get(), L"loadedword", VARIANT_TRUE));
  CHECK(!CheckWordEarly(object.Get(), L"roundtripword", VARIANT_TRUE));

  DispatchResult late_load;
  CallByName(dispatch.Get(), L"LoadCustom", {StringArg(saved)}, late_load);
  CHECK_HR(late_load.hr, S_OK);
  CHECK_EQ(late_load.value.boolVal, VARIANT_TRUE);
  CHECK(CheckWordEarly(object.Get(), L"roundtripword", VARIANT_TRUE));

  // A file that cannot be read is False, not an error, and keeps the list.
  Bstr missing(folder.File(L"missing.dic"));
  CHECK_HR(object->LoadCustom(missing.get(), &loaded), S_OK);
  CHECK_EQ(loaded, VARIANT_FALSE);
  CHECK(CheckWordEarly(object.Get(), L"roundtripword", VARIANT_TRUE));

  DispatchResult late_save;
  CallByName(dispatch.Get(), L"SaveCustom", {StringArg(other)}, late_save);
  CHECK_HR(late_save.hr, S_OK);
  CHECK_EQ(ReadFileBytes(other.str()), ReadFileBytes(saved.str()));
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
// component and carrying the description and the system's text for the error.
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

  DispatchResult late;
  CallByName(DispatchOf(object.Get()).Get(), L"SaveCustom", {StringArg(file)}, late);
  CHECK_HR(late.hr, DISP_E_EXCEPTION);
  CHECK_HR(late.exception.scode, expected);
  CHECK_EQ(std::wstring(late.exception.bstrSource ? late.exception.bstrSource : L""),
           std::wstring(kProgId));
  CHECK_EQ(std::wstring(late.exception.bstrDescription ? late.exception.bstrDescription : L""),
           info.description);
}

void ReplaceWordLeavesItsArgumentsAlone() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();  // needs no word list
  Bstr text(L"Teh cat, teh. tehs"), find(L"teh"), replace(L"the"), result;
  CHECK_HR(object->ReplaceWord(text.out(), find.out(), replace.out(), result.out()), S_OK);
  CHECK_EQ(result.str(), std::wstring(L"the cat, the. tehs"));
  CHECK_EQ(text.str(), std::wstring(L"Teh cat, teh. tehs"));
  CHECK_EQ(find.str(), std::wstring(L"teh"));
  CHECK_EQ(replace.str(), std::wstring(L"the"));

  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  DispatchResult by_value, by_reference;
  CallByName(dispatch.Get(), L"ReplaceWord", {StringArg(text), StringArg(find), StringArg(replace)},
             by_value);
  CHECK_HR(by_value.hr, S_OK);
  CHECK_EQ(by_value.value.vt, VARTYPE(VT_BSTR));
  CHECK_EQ(std::wstring(by_value.value.bstrVal), std::wstring(L"the cat, the. tehs"));
  CallByName(dispatch.Get(), L"ReplaceWord",
             {RefArg(text.out()), RefArg(find.out()), RefArg(replace.out())}, by_reference);
  CHECK_HR(by_reference.hr, S_OK);
  CHECK_EQ(text.str(), std::wstring(L"Teh cat, teh. tehs"));
}

void CheckTextWithoutTheDialogReturnsEmpty() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  Bstr text(L"Teh cat");
  Variant result;
  CHECK_HR(object->CheckText(text.get(), VARIANT_FALSE, &result), S_OK);
  CHECK_EQ(result.vt, VARTYPE(VT_EMPTY));
  DispatchResult late;
  CallByName(DispatchOf(object.Get()).Get(), L"CheckText", {StringArg(text), BoolArg(false)}, late);
  CHECK_HR(late.hr, S_OK);
  CHECK_EQ(late.value.vt, VARTYPE(VT_EMPTY));
}

// What a careless dispatch caller may pass: each call fails cleanly or is served, and none
// takes the process down.
void BadDispatchCallsFailCleanly() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr word(L"word"), other(L"other");

  DispatchResult object_for_string;
  CallByName(dispatch.Get(), L"CheckWord", {ObjectArg(dispatch.Get())}, object_for_string);
  CHECK(FAILED(object_for_string.hr));

  DispatchResult too_many;
  CallByName(dispatch.Get(), L"CheckWord", {StringArg(word), BoolArg(true), LongArg(1)}, too_many);
  CHECK_HR(too_many.hr, DISP_E_BADPARAMCOUNT);

  for (auto [name, count] :
       {std::pair{L"CheckWord", 0}, std::pair{L"ReplaceWord", 2}, std::pair{L"Init", 1}}) {
    DispatchResult too_few;
    if (count == 0) CallByName(dispatch.Get(), name, {}, too_few);
    if (count == 1) CallByName(dispatch.Get(), name, {StringArg(word)}, too_few);
    if (count == 2) CallByName(dispatch.Get(), name, {StringArg(word), StringArg(other)}, too_few);
    CHECK(too_few.hr == DISP_E_PARAMNOTOPTIONAL || too_few.hr == DISP_E_BADPARAMCOUNT);
  }

  DISPID id = 0;
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  CHECK_HR(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
           DISP_E_UNKNOWNNAME);
  DispatchResult private_id;
  CallById(dispatch.Get(), 0x60030004, DISPATCH_METHOD, {}, private_id);
  CHECK_HR(private_id.hr, DISP_E_MEMBERNOTFOUND);
}

// SuggOut of the wrong shape: refused with the caller's array left to the caller, or replaced
// by a proper one. Either way the array in the caller's hands afterwards is one it may destroy.
void WrongSuggestionArraysAreRefusedOrReplaced() {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  ComPtr<IDispatch> dispatch = DispatchOf(object.Get());
  Bstr teh(L"teh");
  auto expect_refused_or_replaced = [](HRESULT hr, SAFEARRAY* before, SAFEARRAY* after) {
    if (FAILED(hr)) {
      CHECK(after == before);
    } else {
      CHECK(after != before);
      StringsOf(after);  // fails the check unless one-dimensional of VARIANTs
    }
  };
  // An array that is part of its owner's storage cannot be replaced: refused, left alone.
  SafeArray fixed(MakeStringArray({L"keep"}));
  fixed.get()->fFeatures |= FADF_STATIC | FADF_FIXEDSIZE;
  SAFEARRAY* fixed_before = fixed.get();
  LONG ranked = 0;
  CHECK(FAILED(object->GetSuggestions(teh.get(), fixed.out(), VARIANT_TRUE, &ranked)));
  CHECK(fixed.get() == fixed_before);
  CHECK(StringsOf(fixed.get()) == std::vector<std::wstring>{L"keep"});
  fixed.get()->fFeatures &= ~(FADF_STATIC | FADF_FIXEDSIZE);

  SAFEARRAYBOUND square[] = {{2, 0}, {2, 0}};
  for (int late = 0; late < 2; ++late) {
    SafeArray two_dimensional(SafeArrayCreate(VT_VARIANT, 2, square));
    SafeArray longs(SafeArrayCreateVector(VT_I4, 0, 3));
    for (SafeArray* array : {&two_dimensional, &longs}) {
      SAFEARRAY* before = array->get();
      HRESULT hr;
      if (late) {
        DispatchResult result;
        VARIANT argument{};
        argument.vt = VT_BYREF | VT_ARRAY | (array == &longs ? VT_I4 : VT_VARIANT);
        argument.pparray = array->out();
        CallByName(dispatch.Get(), L"GetSuggestions", {StringArg(teh), argument}, result);
        hr = result.hr;
      } else {
        LONG ranked = 0;
        hr = object->GetSuggestions(teh.get(), array->out(), VARIANT_TRUE, &ranked);
      }
      expect_refused_or_replaced(hr, before, array->get());
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
        {"CustomDictionaryRoundTrip", CustomDictionaryRoundTrip},
        {"DefaultCustomDictionaryIsBesideTheDll", DefaultCustomDictionaryIsBesideTheDll},
        {"SaveCustomFailureCarriesTheError", SaveCustomFailureCarriesTheError},
        {"ReplaceWordLeavesItsArgumentsAlone", ReplaceWordLeavesItsArgumentsAlone},
        {"CheckTextWithoutTheDialogReturnsEmpty", CheckTextWithoutTheDialogReturnsEmpty}}},
      {"bad_calls",
       {{"BadDispatchCallsFailCleanly", BadDispatchCallsFailCleanly},
        {"WrongSuggestionArraysAreRefusedOrReplaced", WrongSuggestionArraysAreRefusedOrReplaced}}},
  };
}

}  // namespace lexivane::component_tests

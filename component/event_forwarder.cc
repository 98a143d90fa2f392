#include "component/event_forwarder.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>

#include "component/variant_args.h"

namespace lexivane::component {
namespace {

// The dispatch identifiers of the event interface __SpellCheck.
enum EventId : DISPID {
  kSpellReplace = 1,
  kSpellWordNotInDic = 2,
  kSpellChangeAll = 3,
  kSpellCheckCancel = 4,
  kSpellCheckComplete = 5,
  kSpellCheckProgress = 6,
};

VARIANT StringArgument(const Bstr& text) {
  VARIANT argument;
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = text.get();
  return argument;
}

VARIANT LongArgument(std::int32_t value) {
  VARIANT argument;
  V_VT(&argument) = VT_I4;
  V_I4(&argument) = value;
  return argument;
}

// A sink may fill in an exception and a result even for an event; both are its to give up.
void DiscardInvokeOutput(VARIANT& result, EXCEPINFO& exception) {
  ::VariantClear(&result);
  if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
}

// A new empty one-dimensional array of VARIANTs, for a sink to see as an array with no items.
SAFEARRAY* EmptyVariantArray() {
  SAFEARRAYBOUND bound{0, 0};
  SAFEARRAY* array = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  if (array == nullptr) throw std::bad_alloc();
  return array;
}

// Invokes the event on every connected sink; after_each runs once after each sink's call.
template <typename AfterEach>
void Raise(ConnectionPoint& connections, IUnknown& object, DISPID event,
           VARIANT* reversed_arguments, UINT count, AfterEach&& after_each) {
  const Microsoft::WRL::ComPtr<IUnknown> hold_object(&object);
  for (const ConnectionPoint::Connection& connection : connections.Snapshot()) {
    if (!connections.IsConnected(connection.cookie)) continue;
    DISPPARAMS parameters{reversed_arguments, nullptr, count, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO exception{};
    UINT argument_error = 0;
    connection.sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            &result, &exception, &argument_error);
    DiscardInvokeOutput(result, exception);
    after_each();
  }
}

void Raise(ConnectionPoint& connections, IUnknown& object, DISPID event,
           VARIANT* reversed_arguments, UINT count) {
  Raise(connections, object, event, reversed_arguments, count, [] {});
}

}  // namespace

void EventForwarder::SpellReplace(std::u16string_view sOriginalWord,
                                  std::u16string_view sReplacementWord, std::int32_t lPosStart,
                                  std::vector<std::u16string>&) {
  const Bstr original(sOriginalWord);
  const Bstr replacement(sReplacementWord);
  // Each sink gets a fresh empty array: what one sink puts in it is nobody's business, and the
  // engine's list is always empty.
  SAFEARRAY* suggestions = EmptyVariantArray();
  VARIANT arguments[4];
  V_VT(&arguments[0]) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&arguments[0]) = &suggestions;
  arguments[1] = LongArgument(lPosStart);
  arguments[2] = StringArgument(replacement);
  arguments[3] = StringArgument(original);
  struct ArrayOwner {
    SAFEARRAY*& array;
    ~ArrayOwner() {
      if (array != nullptr) ::SafeArrayDestroy(array);
    }
  } owner{suggestions};
  Raise(connections_, object_, kSpellReplace, arguments, 4, [&] {
    if (suggestions != nullptr) ::SafeArrayDestroy(suggestions);
    suggestions = nullptr;
    suggestions = EmptyVariantArray();
  });
}

void EventForwarder::SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                                       bool& Cancel) {
  const Bstr original(sOriginalWord);
  VARIANT_BOOL cancel = ToVariantBool(Cancel);
  VARIANT arguments[3];
  V_VT(&arguments[0]) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&arguments[0]) = &cancel;
  arguments[1] = LongArgument(lPosStart);
  arguments[2] = StringArgument(original);
  Raise(connections_, object_, kSpellWordNotInDic, arguments, 3);
  // Only True itself cancels, the value a host's "Cancel = True" stores.
  Cancel = cancel == VARIANT_TRUE;
}

void EventForwarder::SpellChangeAll(std::u16string_view sOriginalWord,
                                    std::u16string_view sReplacementWord, std::int32_t lPosStart) {
  const Bstr original(sOriginalWord);
  const Bstr replacement(sReplacementWord);
  VARIANT arguments[3] = {LongArgument(lPosStart), StringArgument(replacement),
                          StringArgument(original)};
  Raise(connections_, object_, kSpellChangeAll, arguments, 3);
}

void EventForwarder::SpellCheckCancel() {
  Raise(connections_, object_, kSpellCheckCancel, nullptr, 0);
}

void EventForwarder::SpellCheckComplete(std::int32_t lNumWordsChecked) {
  VARIANT arguments[1] = {LongArgument(lNumWordsChecked)};
  Raise(connections_, object_, kSpellCheckComplete, arguments, 1);
}

void EventForwarder::SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal,
                                        std::int32_t lWords) {
  VARIANT arguments[3] = {LongArgument(lWords), LongArgument(lTotal), LongArgument(lPosition)};
  Raise(connections_, object_, kSpellCheckProgress, arguments, 3);
}

}  // namespace lexivane::component

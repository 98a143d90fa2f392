// lexivane_script_host: runs one VBScript file with a WScript object that can connect a script's
// subs to an object's events, which Wine's own script host cannot (its ConnectObject is a stub).
//
//   lexivane_script_host script.vbs
//
// WScript offers Echo (its one argument on a line of standard output), CreateObject(progid) and
// ConnectObject(object, prefix). An event is forwarded to the script's sub named prefix &
// EventName, when the script has one. A script error is printed with its line, and makes the
// exit code 1 as a failure of the engine does.
//
// Everything runs on the main thread, an apartment-threaded one, as in a desktop script host.
#include <activscp.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <list>

#include "component/tests/client_checks.h"

namespace lexivane::component_tests {
namespace {

// mingw-w64's uuid library has no IID_IActiveScriptParse64, so it is spelt out here.
constexpr IID kIActiveScriptParse64 = {
    0xC7EF7658, 0xE1EE, 0x480E, {0x97, 0xEA, 0xD5, 0x2C, 0xB4, 0xD7, 0x6D, 0x17}};

// Forwards the events of one connection to the script's subs. A script engine writes back only
// through VT_BYREF | VT_VARIANT, so a VARIANT_BOOL by reference (SpellWordNotInDic's Cancel)
// reaches the handler in a VARIANT box, and what the handler left there is written back after
// it returns; other arguments go as they are.
class EventSink final : public DispatchBase {
 public:
  EventSink(REFIID events, ComPtr<ITypeInfo> names, ComPtr<IDispatch> script, std::wstring prefix)
      : DispatchBase(events), names_(names), script_(script), prefix_(std::move(prefix)) {}

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    Bstr event;
    UINT found = 0;
    DISPID handler = DISPID_UNKNOWN;
    std::wstring name = SUCCEEDED(names_->GetNames(id, event.out(), 1, &found)) && found
                            ? prefix_ + event.str()
                            : L"";
    LPOLESTR names[] = {name.data()};
    if (name.empty() ||
        FAILED(script_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &handler)))
      return S_OK;  // the script does not handle this event

    VARIANT* given = parameters->rgvarg;
    std::vector<VARIANT> arguments(given, given + parameters->cArgs);
    std::vector<Variant> boxes(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
      if (given[i].vt != (VT_BYREF | VT_BOOL)) continue;
      boxes[i].vt = VT_BOOL;
      boxes[i].boolVal = *given[i].pboolVal;
      arguments[i].vt = VT_BYREF | VT_VARIANT;
      arguments[i].pvarVal = &boxes[i];
    }
    DISPPARAMS forwarded{arguments.data(), nullptr, parameters->cArgs, 0};
    ExceptionInfo exception;
    script_->Invoke(handler, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &forwarded, nullptr,
                    &exception, nullptr);
    for (size_t i = 0; i < arguments.size(); ++i) {
      if (given[i].vt == (VT_BYREF | VT_BOOL) &&
          SUCCEEDED(VariantChangeType(&boxes[i], &boxes[i], 0, VT_BOOL)))
        *given[i].pboolVal = boxes[i].boolVal;
    }
    return S_OK;
  }

 private:
  ComPtr<ITypeInfo> names_;
  ComPtr<IDispatch> script_;
  std::wstring prefix_;
};

// The site of the script engine, and the WScript object the script sees. It lives on main's
// stack for the whole run.
class Host final : public IActiveScriptSite, public DispatchBase {
 public:
  int Run(const char* script_file);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IActiveScriptSite) return DispatchBase::QueryInterface(iid, out);
    *out = static_cast<IActiveScriptSite*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DispatchBase::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DispatchBase::Release(); }

  // IActiveScriptSite
  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                        ITypeInfo** type) override {
    if (_wcsicmp(name, L"WScript") != 0) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_IUNKNOWN) QueryInterface(IID_IDispatch, reinterpret_cast<void**>(item));
    if (mask & SCRIPTINFO_ITYPEINFO) *type = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
    failed_ = true;
    ExceptionInfo exception;
    error->GetExceptionInfo(&exception);
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    error->GetSourcePosition(&context, &line, &column);
    std::printf("script error at line %lu: %ls (0x%08lX)\n", line + 1,
                exception.bstrDescription ? exception.bstrDescription : L"",
                static_cast<unsigned long>(exception.scode));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

  // IDispatch: the WScript object. A member's identifier is its place in kMembers, from 1.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* id) override {
    auto member = std::find_if(std::begin(kMembers), std::end(kMembers),
                               [&](const wchar_t* name) { return !_wcsicmp(name, names[0]); });
    *id = member == std::end(kMembers) ? DISPID_UNKNOWN : member - std::begin(kMembers) + 1;
    return *id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    // The argument written index-th by the script, converted; arguments arrive last first.
    const auto argument = [&](UINT index, VARTYPE type, Variant& out) {
      if (index >= parameters->cArgs) return DISP_E_PARAMNOTFOUND;
      return VariantChangeType(&out, &parameters->rgvarg[parameters->cArgs - 1 - index], 0, type);
    };
    Variant first, second;
    HRESULT hr = S_OK;
    switch (id) {
      case kEcho:
        if (SUCCEEDED(hr = argument(0, VT_BSTR, first)))
          std::printf("%ls\n", first.bstrVal ? first.bstrVal : L"");
        std::fflush(stdout);
        return hr;
      case kCreateObject: {
        CLSID clsid;
        if (FAILED(hr = argument(0, VT_BSTR, first)) ||
            FAILED(hr = CLSIDFromProgID(first.bstrVal, &clsid)) || !result)
          return hr;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch,
                              reinterpret_cast<void**>(&result->pdispVal));
        if (SUCCEEDED(hr)) result->vt = VT_DISPATCH;
        return hr;
      }
      case kConnectObject:
        if (SUCCEEDED(hr = argument(0, VT_DISPATCH, first)) &&
            SUCCEEDED(hr = argument(1, VT_BSTR, second)))
          hr = ConnectObject(first.pdispVal, second.bstrVal);
        return hr;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  static constexpr const wchar_t* kMembers[] = {L"Echo", L"CreateObject", L"ConnectObject"};
  enum Member : DISPID { kEcho = 1, kCreateObject, kConnectObject };

  HRESULT ConnectObject(IDispatch* object, const std::wstring& prefix);

  ComPtr<IActiveScript> engine_;
  std::list<EventSink> sinks_;  // they outlive the script's objects
  // The event connections made by ConnectObject, undone at the end: a point and a cookie each.
  std::vector<std::pair<ComPtr<IConnectionPoint>, DWORD>> connections_;
  bool failed_ = false;
};

// Connects to the object's (first) connection point, and names its events from the type
// library that describes the object.
HRESULT Host::ConnectObject(IDispatch* object, const std::wstring& prefix) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IEnumConnectionPoints> points;
  ComPtr<IConnectionPoint> point;
  HRESULT hr = object->QueryInterface(IID_PPV_ARGS(&container));
  if (SUCCEEDED(hr)) hr = container->EnumConnectionPoints(&points);
  if (SUCCEEDED(hr)) hr = points->Next(1, &point, nullptr) == S_OK ? S_OK : E_NOINTERFACE;
  IID events{};
  if (SUCCEEDED(hr)) hr = point->GetConnectionInterface(&events);
  ComPtr<ITypeInfo> object_type, event_type;
  ComPtr<ITypeLib> library;
  UINT index = 0;
  if (SUCCEEDED(hr)) hr = object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &object_type);
  if (SUCCEEDED(hr)) hr = object_type->GetContainingTypeLib(&library, &index);
  if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(events, &event_type);
  ComPtr<IDispatch> script;
  if (SUCCEEDED(hr)) hr = engine_->GetScriptDispatch(nullptr, &script);
  if (FAILED(hr)) return hr;
  DWORD cookie = 0;
  hr = point->Advise(&sinks_.emplace_back(events, event_type, script, prefix), &cookie);
  if (SUCCEEDED(hr)) connections_.emplace_back(point, cookie);
  return hr;
}

int Host::Run(const char* script_file) {
  std::ifstream file(script_file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  const std::wstring code(bytes.begin(), bytes.end());  // our scripts are ASCII
  if (code.empty()) {
    std::printf("cannot read %s\n", script_file);
    return 2;
  }
  ComPtr<IActiveScriptParse64> parser;
  CLSID vbscript;
  HRESULT hr = CLSIDFromProgID(L"VBScript", &vbscript);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(vbscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                          reinterpret_cast<void**>(engine_.GetAddressOf()));
  if (SUCCEEDED(hr))
    hr = engine_->QueryInterface(kIActiveScriptParse64,
                                 reinterpret_cast<void**>(parser.GetAddressOf()));
  if (SUCCEEDED(hr)) hr = engine_->SetScriptSite(this);
  if (SUCCEEDED(hr)) hr = parser->InitNew();
  if (SUCCEEDED(hr))
    hr = engine_->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE | SCRIPTITEM_NOCODE);
  if (SUCCEEDED(hr))
    hr =
        parser->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
  // The script's own code runs here; its errors reach OnScriptError.
  if (SUCCEEDED(hr)) engine_->SetScriptState(SCRIPTSTATE_CONNECTED);
  for (auto& [point, cookie] : connections_) point->Unadvise(cookie);
  connections_.clear();
  if (engine_) engine_->Close();
  parser.Reset();
  engine_.Reset();
  if (FAILED(hr))
    std::printf("the script engine failed: 0x%08lX\n", static_cast<unsigned long>(hr));
  return failed_ || FAILED(hr) ? 1 : 0;
}

}  // namespace
}  // namespace lexivane::component_tests

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: lexivane_script_host script.vbs\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = lexivane::component_tests::Host().Run(argv[1]);
  CoUninitialize();
  return exit_code;
}

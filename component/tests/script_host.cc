// lexivane_script_host: runs one VBScript file with a WScript object that can connect a script's
// subs to an object's events, which Wine's own script host cannot (its ConnectObject and the
// prefix argument of CreateObject are stubs).
//
//   lexivane_script_host script.vbs
//
// WScript offers Echo (its arguments, blank-separated, on one line of standard output),
// CreateObject(progid [, prefix]), ConnectObject(object, prefix), DisconnectObject(object) and
// Quit([code]). An event is forwarded to the script's sub named prefix & EventName, when the
// script has one. A script error is printed with its line and makes the exit code 1; otherwise
// the exit code is Quit's, or 0.
//
// Everything runs on the main thread, an apartment-threaded one, as in a desktop script host.
#include <activscp.h>
#include <ocidl.h>
#include <shellapi.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Microsoft::WRL::ComPtr;

// VBScript's engine, registered by the system.
constexpr CLSID kVBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};
// mingw-w64's uuid library has no IID_IActiveScriptParse64, so it is spelt out here.
constexpr IID kIActiveScriptParse64 = {
    0xC7EF7658, 0xE1EE, 0x480E, {0x97, 0xEA, 0xD5, 0x2C, 0xB4, 0xD7, 0x6D, 0x17}};

void Print(const std::wstring& line) {
  int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, text.data(), size, nullptr, nullptr);
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

// Forwards the events of one connection to the script's subs. Event arguments that a handler
// may change arrive by reference with their own types (VT_BYREF | VT_BOOL, ...); a script engine
// writes back only through VT_BYREF | VT_VARIANT, so each is passed in a VARIANT box and copied
// back after the handler returns.
class EventSink final : public IDispatch {
 public:
  EventSink(IID events, ComPtr<ITypeInfo> names, ComPtr<IDispatch> script, std::wstring prefix)
      : events_(events), names_(names), script_(script), prefix_(std::move(prefix)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    BSTR event = nullptr;
    UINT count = 0;
    if (FAILED(names_->GetNames(id, &event, 1, &count)) || count == 0) return S_OK;
    std::wstring handler = prefix_ + event;
    SysFreeString(event);
    DISPID handler_id;
    LPOLESTR name = handler.data();
    if (FAILED(script_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &handler_id)))
      return S_OK;  // the script does not handle this event

    const UINT n = parameters->cArgs;
    std::vector<VARIANT> arguments(parameters->rgvarg, parameters->rgvarg + n);
    std::vector<VARIANT> boxes(n);
    std::vector<bool> boxed(n);
    for (UINT i = 0; i < n; ++i) {
      VariantInit(&boxes[i]);
      const VARIANT& given = parameters->rgvarg[i];
      if (!(given.vt & VT_BYREF) || given.vt == (VT_BYREF | VT_VARIANT)) continue;
      boxed[i] = true;
      if (given.vt & VT_ARRAY) {  // lent, not copied: the script may replace the array
        boxes[i].vt = given.vt & ~VT_BYREF;
        boxes[i].parray = *given.pparray;
      } else {
        VariantCopyInd(&boxes[i], const_cast<VARIANT*>(&given));
      }
      arguments[i].vt = VT_BYREF | VT_VARIANT;
      arguments[i].pvarVal = &boxes[i];
    }
    DISPPARAMS forwarded{arguments.data(), nullptr, n, 0};
    EXCEPINFO exception{};
    script_->Invoke(handler_id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &forwarded, nullptr,
                    &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    for (UINT i = 0; i < n; ++i)
      if (boxed[i]) CopyBack(boxes[i], parameters->rgvarg[i]);
    return S_OK;
  }

 private:
  // Writes the handler's value back through the typed reference, converted to its type.
  static void CopyBack(VARIANT& box, VARIANT& target) {
    VARTYPE type = target.vt & ~VT_BYREF;
    if (type & VT_ARRAY) {
      *target.pparray = box.vt == type ? box.parray : nullptr;
      if (box.vt != type) VariantClear(&box);
      return;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (SUCCEEDED(VariantChangeType(&converted, &box, 0, type))) {
      switch (type) {
        case VT_BOOL:
          *target.pboolVal = converted.boolVal;
          break;
        case VT_I2:
          *target.piVal = converted.iVal;
          break;
        case VT_I4:
          *target.plVal = converted.lVal;
          break;
        case VT_R4:
          *target.pfltVal = converted.fltVal;
          break;
        case VT_R8:
          *target.pdblVal = converted.dblVal;
          break;
        case VT_BSTR:
          SysFreeString(*target.pbstrVal);
          *target.pbstrVal = converted.bstrVal;
          converted.vt = VT_EMPTY;  // handed over
          break;
        default:
          break;
      }
    }
    VariantClear(&converted);
    VariantClear(&box);
  }

  ULONG references_ = 1;
  IID events_;
  ComPtr<ITypeInfo> names_;
  ComPtr<IDispatch> script_;
  std::wstring prefix_;
};

// One event connection made by ConnectObject, undone by DisconnectObject or at the end.
struct Connection {
  ComPtr<IUnknown> source;
  ComPtr<IConnectionPoint> point;
  DWORD cookie;
};

// The site of the script engine, and the WScript object the script sees. It lives on main's
// stack for the whole run, so its reference count is not kept.
class Host : public IActiveScriptSite, public IDispatch {
 public:
  int Run(const std::wstring& script_file);

  // IUnknown, shared by both interfaces.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScriptSite)
      *out = static_cast<IActiveScriptSite*>(this);
    else if (iid == IID_IDispatch)
      *out = static_cast<IDispatch*>(this);
    else
      return *out = nullptr, E_NOINTERFACE;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IActiveScriptSite
  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                        ITypeInfo** type) override {
    if (_wcsicmp(name, L"WScript") != 0) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_IUNKNOWN) *item = static_cast<IDispatch*>(this);
    if (mask & SCRIPTINFO_ITYPEINFO) *type = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

  // IDispatch: the WScript object.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override;

 private:
  enum Member : DISPID { kEcho = 1, kCreateObject, kConnectObject, kDisconnectObject, kQuit };

  HRESULT Echo(const DISPPARAMS& parameters);
  HRESULT CreateObject(const std::wstring& prog_id, VARIANT* result);
  HRESULT ConnectObject(IDispatch* object, const std::wstring& prefix);
  void DisconnectObject(IUnknown* object);

  ComPtr<IActiveScript> engine_;
  std::vector<Connection> connections_;
  bool quitting_ = false;
  bool failed_ = false;
  int quit_code_ = 0;
};

HRESULT Host::OnScriptError(IActiveScriptError* error) {
  if (quitting_) return S_OK;  // Quit stops the script by failing its call
  failed_ = true;
  EXCEPINFO exception{};
  error->GetExceptionInfo(&exception);
  DWORD context = 0;
  ULONG line = 0;
  LONG column = 0;
  error->GetSourcePosition(&context, &line, &column);
  wchar_t code[16];
  swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(exception.scode));
  Print(L"script error at line " + std::to_wstring(line + 1) + L": " +
        (exception.bstrDescription ? exception.bstrDescription : L"") + L" (" + code + L")");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return S_OK;
}

HRESULT Host::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  const struct {
    const wchar_t* name;
    Member id;
  } members[] = {{L"Echo", kEcho},
                 {L"CreateObject", kCreateObject},
                 {L"ConnectObject", kConnectObject},
                 {L"DisconnectObject", kDisconnectObject},
                 {L"Quit", kQuit}};
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const auto& member : members)
      if (_wcsicmp(names[i], member.name) == 0) ids[i] = member.id;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

// The argument written index-th by the script, converted; arguments arrive last first.
HRESULT ArgumentAs(const DISPPARAMS& parameters, UINT index, VARTYPE type, VARIANT* out) {
  if (index >= parameters.cArgs) return DISP_E_PARAMNOTFOUND;
  return VariantChangeType(out, &parameters.rgvarg[parameters.cArgs - 1 - index], 0, type);
}

HRESULT Host::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                     EXCEPINFO* exception, UINT*) {
  VARIANT first, second;
  VariantInit(&first);
  VariantInit(&second);
  HRESULT hr = S_OK;
  switch (id) {
    case kEcho:
      hr = Echo(*parameters);
      break;
    case kCreateObject:
      hr = ArgumentAs(*parameters, 0, VT_BSTR, &first);
      if (SUCCEEDED(hr)) hr = CreateObject(first.bstrVal, result);
      if (SUCCEEDED(hr) && parameters->cArgs > 1 &&
          SUCCEEDED(hr = ArgumentAs(*parameters, 1, VT_BSTR, &second)))
        hr = ConnectObject(result->pdispVal, second.bstrVal);
      break;
    case kConnectObject:
      hr = ArgumentAs(*parameters, 0, VT_DISPATCH, &first);
      if (SUCCEEDED(hr)) hr = ArgumentAs(*parameters, 1, VT_BSTR, &second);
      if (SUCCEEDED(hr)) hr = ConnectObject(first.pdispVal, second.bstrVal);
      break;
    case kDisconnectObject:
      hr = ArgumentAs(*parameters, 0, VT_UNKNOWN, &first);
      if (SUCCEEDED(hr)) DisconnectObject(first.punkVal);
      break;
    case kQuit:
      if (SUCCEEDED(ArgumentAs(*parameters, 0, VT_I4, &first))) quit_code_ = first.lVal;
      quitting_ = true;
      // Failing the call is what stops the script here.
      if (exception) {
        *exception = EXCEPINFO{};
        exception->scode = E_ABORT;
      }
      hr = DISP_E_EXCEPTION;
      break;
    default:
      hr = DISP_E_MEMBERNOTFOUND;
  }
  VariantClear(&first);
  VariantClear(&second);
  return hr;
}

HRESULT Host::Echo(const DISPPARAMS& parameters) {
  std::wstring line;
  for (UINT i = 0; i < parameters.cArgs; ++i) {
    VARIANT text;
    VariantInit(&text);
    // VARIANT_ALPHABOOL: True and False as words, as a script writer expects to read them.
    VariantChangeType(&text, &parameters.rgvarg[parameters.cArgs - 1 - i], VARIANT_ALPHABOOL,
                      VT_BSTR);
    if (i) line += L' ';
    if (text.vt == VT_BSTR && text.bstrVal) line += text.bstrVal;
    VariantClear(&text);
  }
  Print(line);
  return S_OK;
}

HRESULT Host::CreateObject(const std::wstring& prog_id, VARIANT* result) {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(prog_id.c_str(), &clsid);
  IDispatch* object = nullptr;
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch,
                          reinterpret_cast<void**>(&object));
  if (FAILED(hr)) return hr;
  if (result) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
  } else {
    object->Release();
  }
  return S_OK;
}

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
  auto* sink = new EventSink(events, event_type, script, prefix);
  DWORD cookie = 0;
  hr = point->Advise(static_cast<IDispatch*>(sink), &cookie);
  sink->Release();
  if (FAILED(hr)) return hr;
  ComPtr<IUnknown> identity;
  object->QueryInterface(IID_PPV_ARGS(&identity));
  connections_.push_back({identity, point, cookie});
  return S_OK;
}

void Host::DisconnectObject(IUnknown* object) {
  ComPtr<IUnknown> identity;
  object->QueryInterface(IID_PPV_ARGS(&identity));
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->source == identity) {
      it->point->Unadvise(it->cookie);
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

std::wstring ReadScript(const std::wstring& file) {
  HANDLE handle =
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(handle, nullptr), '\0');
  DWORD read = 0;
  ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(handle);
  int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), nullptr, 0);
  std::wstring text(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(), size);
  return text;
}

int Host::Run(const std::wstring& script_file) {
  std::wstring code = ReadScript(script_file);
  if (code.empty()) {
    Print(L"cannot read " + script_file);
    return 2;
  }
  ComPtr<IActiveScriptParse64> parser;
  HRESULT hr = CoCreateInstance(kVBScript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                reinterpret_cast<void**>(engine_.GetAddressOf()));
  if (SUCCEEDED(hr))
    hr = engine_->QueryInterface(kIActiveScriptParse64,
                                 reinterpret_cast<void**>(parser.GetAddressOf()));
  if (SUCCEEDED(hr)) hr = engine_->SetScriptSite(this);
  if (SUCCEEDED(hr)) hr = parser->InitNew();
  if (SUCCEEDED(hr))
    hr = engine_->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE | SCRIPTITEM_NOCODE);
  EXCEPINFO exception{};
  if (SUCCEEDED(hr))
    hr = parser->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr,
                                 &exception);
  // The script's own code runs here; its errors reach OnScriptError.
  if (SUCCEEDED(hr)) engine_->SetScriptState(SCRIPTSTATE_CONNECTED);
  for (Connection& connection : connections_) connection.point->Unadvise(connection.cookie);
  connections_.clear();
  if (engine_) engine_->Close();
  parser.Reset();
  engine_.Reset();
  if (FAILED(hr) && !failed_) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    Print(std::wstring(L"the script engine failed: ") + text);
    return 2;
  }
  return failed_ ? 1 : quit_code_;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 2) {
    Print(L"usage: lexivane_script_host script.vbs");
    return 2;
  }
  std::wstring script = argv[1];
  LocalFree(argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code;
  {
    Host host;
    exit_code = host.Run(script);
  }
  CoUninitialize();
  return exit_code;
}

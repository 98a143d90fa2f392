// component_bench: what a host pays per call into lexvn11en.dll. Run by hand under Wine (not
// by CTest; figures in bench/README.md):
//
//   component_bench path\to\lexvn11en.dll text-file [seconds-per-figure]
//
// It loads the DLL itself and asks DllGetClassObject for the class, so the component need not
// be registered. It prints CheckWord calls per second early-bound (through the vtable) and
// late-bound (IDispatch::Invoke with the dispatch identifier looked up once, the optional
// argument left out, as a script engine calls), cycling over the words of the text, GetSuggestions
// calls per second over the same words and the time of one call on words of 1,000 to 32,767
// letters, and CheckText over the whole text in MB of the file per second, without a sink and
// with one sink that counts the events. QueryPerformanceCounter times each figure.
#include <ocidl.h>
#include <shellapi.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lexivane_idl.h"

namespace {

using Microsoft::WRL::ComPtr;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

std::string ReadBytes(const wchar_t* path) {
  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::wstring Widen(const std::string& bytes) {
  int size =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

// The text's words (runs of letters and apostrophes), as the BSTRs a host would pass.
std::vector<BSTR> WordsOf(const std::wstring& text) {
  std::vector<BSTR> words;
  size_t start = std::wstring::npos;
  for (size_t i = 0; i <= text.size(); ++i) {
    bool letter = i < text.size() && (IsCharAlphaW(text[i]) || text[i] == L'\'');
    if (letter && start == std::wstring::npos) start = i;
    if (!letter && start != std::wstring::npos) {
      words.push_back(SysAllocStringLen(text.data() + start, static_cast<UINT>(i - start)));
      start = std::wstring::npos;
    }
  }
  return words;
}

// Counts events and answers each one at once, as a host that only shows progress would.
class CountingSink : public IDispatch {
 public:
  long events = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID___SpellCheck) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on main's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    ++events;
    return S_OK;
  }
};

// Runs `call(i)` for i = 0, 1, ... for about `seconds`, and returns calls per second.
template <typename Call>
double CallsPerSecond(double seconds, Call call) {
  long calls = 0;
  double start = Now(), elapsed = 0;
  while (elapsed < seconds) {
    for (int batch = 0; batch < 1000; ++batch) call(calls++);
    elapsed = Now() - start;
  }
  return calls / elapsed;
}

int Fail(const char* what, HRESULT hr) {
  std::printf("%s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
  return 1;
}

int Run(const wchar_t* dll_path, const wchar_t* text_path, double seconds) {
  HMODULE dll = LoadLibraryW(dll_path);
  if (!dll) return Fail("LoadLibrary", HRESULT_FROM_WIN32(GetLastError()));
  auto get_class_object = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  HRESULT hr = get_class_object(CLSID_SpellCheck, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(hr)) return Fail("DllGetClassObject", hr);
  ComPtr<_SpellCheck> spell;
  hr = factory->CreateInstance(nullptr, IID__SpellCheck,
                               reinterpret_cast<void**>(spell.GetAddressOf()));
  if (FAILED(hr)) return Fail("CreateInstance", hr);
  BSTR empty = SysAllocString(L"");
  VARIANT result;
  VariantInit(&result);
  double start = Now();
  hr = spell->Init(empty, empty, nullptr, &result);
  if (FAILED(hr)) return Fail("Init", hr);
  std::printf("Init: %.1f ms\n", (Now() - start) * 1000);

  std::string bytes = ReadBytes(text_path);
  std::wstring text = Widen(bytes);
  std::vector<BSTR> words = WordsOf(text);
  if (words.empty()) return Fail("reading the text", E_INVALIDARG);
  std::printf("text: %zu bytes, %zu words\n", bytes.size(), words.size());

  VARIANT_BOOL correct;
  double early = CallsPerSecond(
      seconds, [&](long i) { spell->CheckWord(words[i % words.size()], VARIANT_TRUE, &correct); });
  std::printf("CheckWord early-bound: %.0f calls/s\n", early);

  ComPtr<IDispatch> dispatch;
  spell.As(&dispatch);
  DISPID check_word;
  LPOLESTR name = const_cast<LPOLESTR>(L"CheckWord");
  dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &check_word);
  double late = CallsPerSecond(seconds, [&](long i) {
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = words[i % words.size()];
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT answer;
    VariantInit(&answer);
    dispatch->Invoke(check_word, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                     &answer, nullptr, nullptr);
  });
  std::printf("CheckWord late-bound: %.0f calls/s\n", late);

  // GetSuggestions early-bound over the same words (each gets its own fresh array).
  double suggested = CallsPerSecond(seconds / 10, [&](long i) {
    SAFEARRAY* suggestions = nullptr;
    LONG ranked = 0;
    spell->GetSuggestions(words[i % words.size()], &suggestions, VARIANT_TRUE, &ranked);
    if (suggestions != nullptr) SafeArrayDestroy(suggestions);
  });
  std::printf("GetSuggestions early-bound: %.0f calls/s\n", suggested);
  // And one call each on words far longer than any word, as a careless host may pass.
  for (UINT letters : {1000u, 16000u, 32767u}) {
    std::wstring long_word;
    for (UINT k = 0; k < letters; ++k) long_word += static_cast<wchar_t>(L'a' + (k * 7919u) % 26u);
    BSTR word = SysAllocStringLen(long_word.data(), letters);
    SAFEARRAY* suggestions = nullptr;
    LONG ranked = 0;
    const double begin = Now();
    spell->GetSuggestions(word, &suggestions, VARIANT_TRUE, &ranked);
    std::printf("GetSuggestions of %u letters: %.3f ms\n", letters, (Now() - begin) * 1000);
    if (suggestions != nullptr) SafeArrayDestroy(suggestions);
    SysFreeString(word);
  }

  // CheckText over the whole text, as often as fits in `seconds` (at least once); MB of the file
  // per second.
  BSTR whole = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  int runs = 0;
  auto check_text_rate = [&](const char* label) {
    runs = 0;
    double begin = Now(), elapsed = 0;
    do {
      hr = spell->CheckText(whole, VARIANT_FALSE, &result);
      ++runs;
      elapsed = Now() - begin;
    } while (SUCCEEDED(hr) && elapsed < seconds);
    if (FAILED(hr)) return Fail("CheckText", hr);
    std::printf("CheckText %s: %.2f MB/s (%d runs of %.1f s)\n", label,
                bytes.size() * runs / elapsed / 1e6, runs, elapsed / runs);
    return 0;
  };
  if (check_text_rate("without a sink")) return 1;
  CountingSink sink;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  spell.As(&container);
  container->FindConnectionPoint(DIID___SpellCheck, &point);
  point->Advise(&sink, &cookie);
  if (check_text_rate("with one sink")) return 1;
  std::printf("events per run: %ld\n", sink.events / runs);
  point->Unadvise(cookie);
  SysFreeString(whole);
  for (BSTR word : words) SysFreeString(word);
  SysFreeString(empty);
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) {
    std::printf("usage: component_bench lexvn11en.dll text-file [seconds-per-figure]\n");
    return 2;
  }
  double seconds = argc > 3 ? _wtof(argv[3]) : 2.0;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = Run(argv[1], argv[2], seconds);
  CoUninitialize();
  return exit_code;
}

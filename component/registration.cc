#include "component/registration.h"

#include <oleauto.h>

#include <string>
#include <string_view>

#include "component/module_lifetime.h"
#include "lexivane_idl.h"

// In oleaut32 (and its import library) since Windows Vista, but not declared by mingw-w64's
// headers.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* help_directory);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID library, WORD major, WORD minor, LCID locale,
                                        SYSKIND kind);
}

namespace lexivane::component {
namespace {

// One registry value, by key (relative to a classes root), value name ("" for the default
// value) and data. In keys and data, {clsid} and {libid} stand for the identifiers and {path}
// for the DLL's full path. A key that no other row's key lies under is the root of a tree that
// is ours alone: unregistering deletes that tree.
struct Row {
  std::wstring_view key;
  std::wstring_view name;
  std::wstring_view data;
};

constexpr Row kRows[] = {
    {L"CLSID\\{clsid}", L"", L"SpellCheck"},
    {L"CLSID\\{clsid}\\InprocServer32", L"", L"{path}"},
    {L"CLSID\\{clsid}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\{clsid}\\ProgID", L"", L"Lexivane.SpellCheck.1"},
    {L"CLSID\\{clsid}\\VersionIndependentProgID", L"", L"Lexivane.SpellCheck"},
    {L"CLSID\\{clsid}\\TypeLib", L"", L"{libid}"},
    {L"CLSID\\{clsid}\\Version", L"", L"1.0"},
    {L"Lexivane.SpellCheck", L"", L"SpellCheck"},
    {L"Lexivane.SpellCheck\\CLSID", L"", L"{clsid}"},
    {L"Lexivane.SpellCheck\\CurVer", L"", L"Lexivane.SpellCheck.1"},
    {L"Lexivane.SpellCheck.1", L"", L"SpellCheck"},
    {L"Lexivane.SpellCheck.1\\CLSID", L"", L"{clsid}"},
};

// The type library's version and the locale it is registered under (neutral).
constexpr WORD kLibraryMajor = 1, kLibraryMinor = 0;
constexpr LCID kLibraryLocale = LOCALE_NEUTRAL;

struct Place {
  HKEY root;
  const wchar_t* classes;
};
const Place kMachine{HKEY_LOCAL_MACHINE, L"Software\\Classes"};
const Place kUser{HKEY_CURRENT_USER, L"Software\\Classes"};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  ::StringFromGUID2(guid, text, ARRAYSIZE(text));
  return text;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"";
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

std::wstring Expand(std::wstring_view text, const std::wstring& path) {
  std::wstring out(text);
  const std::pair<std::wstring_view, std::wstring> substitutions[] = {
      {L"{clsid}", GuidText(CLSID_SpellCheck)}, {L"{libid}", GuidText(LIBID_Lexivane)}, {L"{path}", path}};
  for (const auto& [placeholder, value] : substitutions) {
    for (std::size_t at = out.find(placeholder); at != std::wstring::npos;
         at = out.find(placeholder, at + value.size())) {
      out.replace(at, placeholder.size(), value);
    }
  }
  return out;
}

bool IsTreeRoot(const Row& row) {
  for (const Row& other : kRows) {
    if (other.key.size() < row.key.size() && row.key.starts_with(other.key) &&
        row.key[other.key.size()] == L'\\') {
      return false;
    }
  }
  return true;
}

LSTATUS WriteRows(const Place& place, const std::wstring& path) {
  HKEY classes = nullptr;
  LSTATUS status = ::RegCreateKeyExW(place.root, place.classes, 0, nullptr, 0, KEY_CREATE_SUB_KEY,
                                     nullptr, &classes, nullptr);
  if (status != ERROR_SUCCESS) return status;
  for (const Row& row : kRows) {
    HKEY key = nullptr;
    status = ::RegCreateKeyExW(classes, Expand(row.key, path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) break;
    const std::wstring data = Expand(row.data, path);
    status = ::RegSetValueExW(key, row.name.empty() ? nullptr : std::wstring(row.name).c_str(), 0,
                              REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) break;
  }
  ::RegCloseKey(classes);
  return status;
}

// Deletes our trees under one classes root. Keys that are not there are no error.
LSTATUS DeleteRows(const Place& place) {
  HKEY classes = nullptr;
  LSTATUS status = ::RegOpenKeyExW(place.root, place.classes, 0, DELETE | KEY_ENUMERATE_SUB_KEYS |
                                   KEY_QUERY_VALUE | KEY_SET_VALUE, &classes);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  LSTATUS result = ERROR_SUCCESS;
  for (const Row& row : kRows) {
    if (IsTreeRoot(row)) {  // a tree with two values is deleted once, then not found
      status = ::RegDeleteTreeW(classes, Expand(row.key, L"").c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = status;
    }
  }
  ::RegCloseKey(classes);
  return result;
}

HRESULT RegisterTypeLibrary(const std::wstring& path, bool for_user) {
  ITypeLib* library = nullptr;
  HRESULT result = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(result)) return result;
  auto* const path_text = const_cast<LPOLESTR>(path.c_str());
  result = for_user ? ::RegisterTypeLibForUser(library, path_text, nullptr)
                    : ::RegisterTypeLib(library, path_text, nullptr);
  library->Release();
  return result;
}

HRESULT UnregisterTypeLibrary(bool for_user) {
  const HRESULT result =
      for_user ? ::UnRegisterTypeLibForUser(LIBID_Lexivane, kLibraryMajor, kLibraryMinor,
                                            kLibraryLocale, SYS_WIN64)
               : ::UnRegisterTypeLib(LIBID_Lexivane, kLibraryMajor, kLibraryMinor, kLibraryLocale,
                                     SYS_WIN64);
  // Nothing registered is what unregistering wants.
  if (result == TYPE_E_REGISTRYACCESS || result == TYPE_E_LIBNOTREGISTERED ||
      result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
    return S_OK;
  }
  return result;
}

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  bool for_user = false;
  LSTATUS status = WriteRows(kMachine, path);
  if (status == ERROR_ACCESS_DENIED) {
    DeleteRows(kMachine);  // whatever part of the machine's keys could be written
    for_user = true;
    status = WriteRows(kUser, path);
  }
  if (status != ERROR_SUCCESS) {
    UnregisterServer();
    return HRESULT_FROM_WIN32(status);
  }
  const HRESULT result = RegisterTypeLibrary(path, for_user);
  if (FAILED(result)) UnregisterServer();
  return result;
}

HRESULT UnregisterServer() {
  HRESULT result = S_OK;
  for (const bool for_user : {false, true}) {
    const HRESULT unregistered = UnregisterTypeLibrary(for_user);
    if (FAILED(unregistered) && unregistered != E_ACCESSDENIED) result = unregistered;
  }
  for (const Place& place : {kMachine, kUser}) {
    const LSTATUS status = DeleteRows(place);
    // The machine's keys are out of reach of a user who registered for their own account only.
    if (status != ERROR_SUCCESS && !(status == ERROR_ACCESS_DENIED && place.root == kMachine.root)) {
      result = HRESULT_FROM_WIN32(status);
    }
  }
  return result;
}

}  // namespace lexivane::component

#include "component/registration.h"

#include <string>
#include <string_view>

#include "component/module_lifetime.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

// One registry value, by key (relative to a classes root), value name ("" for the default
// value) and data. In keys and data, {clsid}, {libid}, {iid} and {source_iid} stand for the
// identifiers, {path} for the DLL's full path and {directory} for its folder. A key that no
// other row's key lies under is the root of a tree that is ours alone: unregistering deletes it.
// A row without a name or data only makes its key.
//
// The type library and its interfaces are written here rather than by RegisterTypeLib, which
// files a library under the locale of its header (409); ours is registered as neutral (0).
// The interfaces are marshalled from the type library: the dual _SpellCheck by the automation
// marshaller PSOAInterface, the dispatch interface __SpellCheck by PSDispatch.
struct Row {
  std::wstring_view key;
  std::wstring_view name;
  std::wstring_view data;
};

constexpr Row kRows[] = {
    {L"CLSID\\{clsid}", L"", L"SpellCheck"},
    {L"CLSID\\{clsid}\\InprocServer32", L"", L"{path}"},
    {L"CLSID\\{clsid}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\{clsid}\\ProgID", L"", L"Lexivane.SpellCheck"},
    {L"CLSID\\{clsid}\\VersionIndependentProgID", L"", L"Lexivane.SpellCheck"},
    {L"CLSID\\{clsid}\\TypeLib", L"", L"{libid}"},
    {L"CLSID\\{clsid}\\Version", L"", L"1.0"},
    {L"Lexivane.SpellCheck", L"", L"SpellCheck"},
    {L"Lexivane.SpellCheck\\CLSID", L"", L"{clsid}"},
    {L"Lexivane.SpellCheck\\CurVer", L"", L"Lexivane.SpellCheck.1"},
    {L"Lexivane.SpellCheck.1", L"", L"SpellCheck"},
    {L"Lexivane.SpellCheck.1\\CLSID", L"", L"{clsid}"},
    {L"TypeLib\\{libid}", L"", L""},
    {L"TypeLib\\{libid}\\1.0", L"", L"Lexivane 1.1 (english)"},
    {L"TypeLib\\{libid}\\1.0\\0\\win64", L"", L"{path}"},
    {L"TypeLib\\{libid}\\1.0\\FLAGS", L"", L"0"},
    {L"TypeLib\\{libid}\\1.0\\HELPDIR", L"", L"{directory}"},
    {L"Interface\\{iid}", L"", L"_SpellCheck"},
    {L"Interface\\{iid}\\ProxyStubClsid", L"", L"{00020424-0000-0000-C000-000000000046}"},
    {L"Interface\\{iid}\\ProxyStubClsid32", L"", L"{00020424-0000-0000-C000-000000000046}"},
    {L"Interface\\{iid}\\TypeLib", L"", L"{libid}"},
    {L"Interface\\{iid}\\TypeLib", L"Version", L"1.0"},
    {L"Interface\\{source_iid}", L"", L"__SpellCheck"},
    {L"Interface\\{source_iid}\\ProxyStubClsid", L"", L"{00020420-0000-0000-C000-000000000046}"},
    {L"Interface\\{source_iid}\\ProxyStubClsid32", L"", L"{00020420-0000-0000-C000-000000000046}"},
    {L"Interface\\{source_iid}\\TypeLib", L"", L"{libid}"},
    {L"Interface\\{source_iid}\\TypeLib", L"Version", L"1.0"},
};

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
    const DWORD length =
        ::GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"";
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

std::wstring Expand(std::wstring_view text, const std::wstring& path) {
  std::wstring out(text);
  const std::pair<std::wstring_view, std::wstring> substitutions[] = {
      {L"{clsid}", GuidText(CLSID_SpellCheck)},
      {L"{libid}", GuidText(LIBID_Lexivane)},
      {L"{iid}", GuidText(IID__SpellCheck)},
      {L"{source_iid}", GuidText(DIID___SpellCheck)},
      {L"{path}", path},
      {L"{directory}", path.substr(0, path.find_last_of(L'\\'))}};
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
    if (row.name.empty() && row.data.empty()) {
      ::RegCloseKey(key);
      continue;
    }
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
  LSTATUS status =
      ::RegOpenKeyExW(place.root, place.classes, 0,
                      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, &classes);
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

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  LSTATUS status = WriteRows(kMachine, path);
  if (status == ERROR_ACCESS_DENIED) {
    DeleteRows(kMachine);  // whatever part of the machine's keys could be written
    status = WriteRows(kUser, path);
  }
  if (status != ERROR_SUCCESS) {
    UnregisterServer();
    return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  HRESULT result = S_OK;
  for (const Place& place : {kMachine, kUser}) {
    const LSTATUS status = DeleteRows(place);
    // The machine's keys are out of reach of a user who registered for their own account only.
    if (status != ERROR_SUCCESS &&
        !(status == ERROR_ACCESS_DENIED && place.root == kMachine.root)) {
      result = HRESULT_FROM_WIN32(status);
    }
  }
  return result;
}

}  // namespace lexivane::component

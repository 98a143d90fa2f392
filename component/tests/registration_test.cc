// What DllRegisterServer leaves in the registry, and that DllUnregisterServer takes all of it away.
// CTest runs "registered" after `regsvr32 lexvn11en.dll` with the DLL's Windows path as argument,
// and "unregistered" after `regsvr32 /u`.
#include "component/tests/client_checks.h"

namespace lexivane::component_tests {
namespace {

constexpr wchar_t kClassKey[] = L"CLSID\\{1279C95A-EFD9-4D61-9D62-19C9AEA3ED9F}";
constexpr wchar_t kClassId[] = L"{1279C95A-EFD9-4D61-9D62-19C9AEA3ED9F}";
constexpr wchar_t kLibraryKey[] = L"TypeLib\\{19C8A35E-90BB-40DC-A212-067F388DA632}";
constexpr wchar_t kLibraryId[] = L"{19C8A35E-90BB-40DC-A212-067F388DA632}";
constexpr wchar_t kInterfaceKey[] = L"Interface\\{96D1F840-BAD7-4E75-A2C7-CFCEEAD49943}";
constexpr wchar_t kEventInterfaceKey[] = L"Interface\\{940BADDF-F0A3-459C-9621-378B35F3EC08}";
constexpr wchar_t kVersionedProgId[] = L"Lexivane.SpellCheck.1";
// Automation's own marshaller, which works from the registered type library.
constexpr wchar_t kTypeLibraryMarshaller[] = L"{00020424-0000-0000-C000-000000000046}";

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY handle;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// The string value; *present tells whether the key and the value exist.
std::wstring ReadString(const std::wstring& key, const wchar_t* name, bool* present) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  LSTATUS status =
      RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
  *present = status == ERROR_SUCCESS;
  return *present ? value : L"";
}

void ExpectValue(const std::wstring& key, const wchar_t* name, const std::wstring& expected) {
  bool present = false;
  std::wstring value = ReadString(key, name, &present);
  std::string where = "HKCR\\" + Narrow(key) + (name ? " value " + Narrow(name) : " default");
  if (!present) {
    Fail(__FILE__, __LINE__, where + " is missing");
    return;
  }
  // Paths and GUIDs compare without regard to letter case.
  if (_wcsicmp(value.c_str(), expected.c_str()) != 0)
    Fail(__FILE__, __LINE__, where + " is " + Show(value) + ", expected " + Show(expected));
}

// The DLL's full Windows path, from the path on the command line (which may be a Linux path:
// Wine resolves it on the current drive).
std::wstring DllPath() {
  if (GroupArguments().empty()) {
    Fail(__FILE__, __LINE__, "the DLL's path is not on the command line");
    throw CheckAborted{};
  }
  wchar_t full[MAX_PATH];
  REQUIRE(GetFullPathNameW(GroupArguments()[0].c_str(), MAX_PATH, full, nullptr) > 0);
  return full;
}

void ClassIsRegistered() {
  ExpectValue(std::wstring(kClassKey) + L"\\InprocServer32", nullptr, DllPath());
  ExpectValue(std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  ExpectValue(std::wstring(kClassKey) + L"\\TypeLib", nullptr, kLibraryId);
  bool present = false;
  std::wstring prog_id = ReadString(std::wstring(kClassKey) + L"\\ProgID", nullptr, &present);
  CHECK(prog_id == kProgId || prog_id == kVersionedProgId);
}

void ProgIdLeadsToTheClass() {
  ExpectValue(std::wstring(kProgId) + L"\\CLSID", nullptr, kClassId);
  // A versioned identifier is optional; when the component registers one, it leads there too.
  bool has_current = false;
  std::wstring current = ReadString(std::wstring(kProgId) + L"\\CurVer", nullptr, &has_current);
  if (has_current) {
    CHECK_EQ(current, std::wstring(kVersionedProgId));
    ExpectValue(current + L"\\CLSID", nullptr, kClassId);
  }
  CLSID clsid{};
  CHECK_HR(CLSIDFromProgID(kProgId, &clsid), S_OK);
  CHECK(IsEqualCLSID(clsid, CLSID_SpellCheck));
}

void TypeLibraryAndInterfacesAreRegistered() {
  ExpectValue(std::wstring(kLibraryKey) + L"\\1.0\\0\\win64", nullptr, DllPath());
  ExpectValue(std::wstring(kLibraryKey) + L"\\1.0", nullptr, L"Lexivane 1.1 (english)");
  for (const wchar_t* key : {kInterfaceKey, kEventInterfaceKey})
    ExpectValue(std::wstring(key) + L"\\TypeLib", nullptr, kLibraryId);
  // The dual interface crosses apartments through the type library marshaller.
  ExpectValue(std::wstring(kInterfaceKey) + L"\\ProxyStubClsid32", nullptr, kTypeLibraryMarshaller);
  ComPtr<ITypeLib> library;
  CHECK_HR(LoadRegTypeLib(LIBID_Lexivane, 1, 0, 0, library.GetAddressOf()), S_OK);
}

void NothingOfOursRemains() {
  const std::wstring keys[] = {kClassKey,   kProgId,       kVersionedProgId,
                               kLibraryKey, kInterfaceKey, kEventInterfaceKey};
  // HKCR merges the machine's and the user's classes; look at both.
  const struct {
    HKEY root;
    const char* name;
    const wchar_t* classes;
  } places[] = {{HKEY_LOCAL_MACHINE, "HKLM\\", L"Software\\Classes\\"},
                {HKEY_CURRENT_USER, "HKCU\\", L"Software\\Classes\\"},
                {HKEY_CLASSES_ROOT, "HKCR\\", L""}};
  for (const std::wstring& key : keys)
    for (const auto& place : places)
      if (KeyExists(place.root, place.classes + key))
        Fail(__FILE__, __LINE__, place.name + Narrow(place.classes + key) + " is still there");
  CLSID clsid{};
  CHECK(FAILED(CLSIDFromProgID(kProgId, &clsid)));
}

}  // namespace

std::vector<CheckGroup> RegistrationGroups() {
  return {
      {"registered",
       {{"ClassIsRegistered", ClassIsRegistered},
        {"ProgIdLeadsToTheClass", ProgIdLeadsToTheClass},
        {"TypeLibraryAndInterfacesAreRegistered", TypeLibraryAndInterfacesAreRegistered}}},
      {"unregistered", {{"NothingOfOursRemains", NothingOfOursRemains}}},
  };
}

}  // namespace lexivane::component_tests

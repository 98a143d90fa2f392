// What DllRegisterServer leaves in the registry, and that DllUnregisterServer takes all of it away.
// CTest runs the Registered suite after `regsvr32 lexvn11en.dll` with the DLL's Windows path as
// argument, and Unregistered after `regsvr32 /u`.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

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

// The string value, or nullopt when the key or the value is missing.
std::optional<std::wstring> ReadString(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// Paths and GUIDs compare without regard to letter case.
void ExpectValue(const std::wstring& key, const wchar_t* name, const std::wstring& expected) {
  const std::optional<std::wstring> value = ReadString(key, name);
  EXPECT_TRUE(value && _wcsicmp(value->c_str(), expected.c_str()) == 0)
      << "HKCR\\" << key << " " << (name ? name : L"(default)") << " is "
      << value.value_or(L"missing") << ", expected " << expected;
}

}  // namespace

// The class leads to the DLL and the type library; the programmatic identifier to the class;
// the type library and both interfaces to each other.
TEST(Registered, EveryKey) {
  const std::wstring class_key = kClassKey, library_key = kLibraryKey, dll = DllPath();
  ExpectValue(class_key + L"\\InprocServer32", nullptr, dll);
  ExpectValue(class_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  ExpectValue(class_key + L"\\TypeLib", nullptr, kLibraryId);
  // The class's identifier is the plain one, both ways; the versioned one is its own key that
  // the plain one names as the current version.
  ExpectValue(class_key + L"\\ProgID", nullptr, kProgId);
  ExpectValue(class_key + L"\\VersionIndependentProgID", nullptr, kProgId);
  LPOLESTR name = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_SpellCheck, &name), S_OK);
  EXPECT_STREQ(name, kProgId);
  CoTaskMemFree(name);
  ExpectValue(std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId);
  for (const wchar_t* prog_id : {kProgId, kVersionedProgId}) {
    ExpectValue(std::wstring(prog_id) + L"\\CLSID", nullptr, kClassId);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(prog_id, &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_SpellCheck));
  }

  ExpectValue(library_key + L"\\1.0\\0\\win64", nullptr, dll);
  ExpectValue(library_key + L"\\1.0", nullptr, L"Lexivane 1.1 (english)");
  for (const wchar_t* key : {kInterfaceKey, kEventInterfaceKey})
    ExpectValue(std::wstring(key) + L"\\TypeLib", nullptr, kLibraryId);
  // The dual interface crosses apartments through the type library marshaller.
  ExpectValue(std::wstring(kInterfaceKey) + L"\\ProxyStubClsid32", nullptr, kTypeLibraryMarshaller);
  ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadRegTypeLib(LIBID_Lexivane, 1, 0, 0, library.GetAddressOf()), S_OK);
}

TEST(Unregistered, NothingOfOursRemains) {
  const std::wstring keys[] = {kClassKey,   kProgId,       kVersionedProgId,
                               kLibraryKey, kInterfaceKey, kEventInterfaceKey};
  // HKCR merges the machine's and the user's classes; look at both.
  const struct {
    HKEY root;
    const wchar_t* name;
    const wchar_t* classes;
  } places[] = {{HKEY_LOCAL_MACHINE, L"HKLM\\", L"Software\\Classes\\"},
                {HKEY_CURRENT_USER, L"HKCU\\", L"Software\\Classes\\"},
                {HKEY_CLASSES_ROOT, L"HKCR\\", L""}};
  for (const std::wstring& key : keys)
    for (const auto& place : places)
      EXPECT_FALSE(KeyExists(place.root, place.classes + key))
          << place.name << place.classes << key;
  CLSID clsid{};
  EXPECT_HRESULT_FAILED(CLSIDFromProgID(kProgId, &clsid));
}

}  // namespace lexivane::component_tests

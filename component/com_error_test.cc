#include "component/com_error.h"

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <stdexcept>
#include <string>

#include "lexivane/error.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

TEST(ComErrorTest, ErrorNumbersMapToTheirHresults) {
  const struct {
    int number;
    HRESULT expected;
  } cases[] = {
      {kErrorCorruptWordTables, static_cast<HRESULT>(0x80040201)},
      {kErrorNoDialogView, static_cast<HRESULT>(0x80040203)},
      {kErrorTextTooLong, static_cast<HRESULT>(0x80040206)},
      {kErrorOutOfMemory, E_OUTOFMEMORY},
      {ERROR_PATH_NOT_FOUND, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
      {ERROR_ACCESS_DENIED, static_cast<HRESULT>(0x80070005)},
      // Nothing may read as success or lose its failure bit.
      {0, E_UNEXPECTED},
      {-5, E_UNEXPECTED},
      {0x10000, E_UNEXPECTED},
      {0x20010000, E_UNEXPECTED},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HresultFromErrorNumber(c.number), c.expected) << std::hex << c.number;
  }
}

TEST(ComErrorTest, Win32DescriptionsCarryTheSystemTextOnce) {
  const std::wstring plain = DescribeError(ERROR_ACCESS_DENIED, "cannot write 'x'");
  ASSERT_GT(plain.size(), std::wstring(L"cannot write 'x': ").size());
  EXPECT_EQ(plain.rfind(L"cannot write 'x': ", 0), 0u) << plain;
  const std::wstring system = plain.substr(std::wstring(L"cannot write 'x': ").size());

  // The platform layer usually ends its descriptions with the system's text already.
  std::string already = "cannot write 'x': ";
  for (wchar_t c : system) already += static_cast<char>(c);  // the system's text is ASCII here
  EXPECT_EQ(DescribeError(ERROR_ACCESS_DENIED, already), plain);

  EXPECT_EQ(DescribeError(kErrorNoDialogView, "no view"), L"no view");
  EXPECT_EQ(DescribeError(kErrorNoDialogView, "caf\xC3\xA9"), L"caf\u00E9");
}

HRESULT Throwing(void (*thrower)()) {
  return Guarded([&] {
    thrower();
    return S_OK;
  });
}

TEST(ComErrorTest, EveryFailureBecomesAnHresultWithErrorInfo) {
  const struct {
    HRESULT (*call)();
    HRESULT expected;
    const wchar_t* description;
  } cases[] = {
      {[] { return Throwing([] { throw Error(kErrorNoDialogView, "no view"); }); },
       static_cast<HRESULT>(0x80040203), L"no view"},
      {[] { return Throwing([] { throw std::bad_alloc(); }); }, E_OUTOFMEMORY, L"out of memory"},
      {[] { return Throwing([] { throw std::logic_error("broken"); }); }, E_UNEXPECTED, L"broken"},
      {[] { return Throwing([] { throw 42; }); }, E_UNEXPECTED, L"unexpected failure"},
      // A failure found at the boundary itself, not by an exception.
      {[] { return Fail(E_POINTER, L"null"); }, E_POINTER, L"null"},
  };
  for (const auto& c : cases) {
    ::SetErrorInfo(0, nullptr);
    EXPECT_EQ(c.call(), c.expected);
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
    BSTR texts[2] = {};
    GUID guid{};
    info->GetSource(&texts[0]);
    info->GetDescription(&texts[1]);
    info->GetGUID(&guid);
    EXPECT_STREQ(texts[0], L"Lexivane.SpellCheck");
    EXPECT_STREQ(texts[1], c.description);
    EXPECT_EQ(guid, IID__SpellCheck);
    for (BSTR text : texts) ::SysFreeString(text);
  }
  EXPECT_EQ(Guarded([] { return S_FALSE; }), S_FALSE);
}

}  // namespace
}  // namespace lexivane::component

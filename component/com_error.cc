#include "component/com_error.h"

#include <oleauto.h>

#include <exception>
#include <new>
#include <string>

#include "lexivane/error.h"
#include "lexivane/utf8.h"
#include "lexivane_idl.h"
#include "platform/system_message.h"

namespace lexivane::component {
namespace {

// Lexivane's own numbers are 0x20000000 plus a small code (lexivane/error.h).
constexpr int kOwnNumberBase = 0x20000000;
constexpr wchar_t kErrorSource[] = L"Lexivane.SpellCheck";

// Windows' wchar_t and char16_t are both UTF-16 code units.
std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::wstring FromUtf8(const std::string& text) {
  return Wide(lexivane::FromUtf8(text));
}

bool IsOwnNumber(int number) {
  return (number & ~0xFFFF) == kOwnNumberBase;
}

bool IsWin32Code(int number) {
  return number > 0 && number <= 0xFFFF;
}

// Replaces the thread's error information. A failure here leaves the HRESULT to speak alone.
void SetThreadErrorInfo(const std::wstring& description) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(::CreateErrorInfo(&create))) return;
  create->SetGUID(IID__SpellCheck);
  create->SetSource(const_cast<LPOLESTR>(kErrorSource));
  create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    ::SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

HRESULT HresultFromErrorNumber(int number) {
  if (number == kErrorOutOfMemory) return E_OUTOFMEMORY;
  if (IsOwnNumber(number)) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0200 + (number & 0xFFFF));
  }
  if (IsWin32Code(number)) return HRESULT_FROM_WIN32(static_cast<DWORD>(number));
  return E_UNEXPECTED;
}

std::wstring DescribeError(int number, const std::string& utf8_description) {
  std::wstring description = FromUtf8(utf8_description);
  if (!IsWin32Code(number)) return description;
  const std::wstring system = Wide(platform::SystemMessage(static_cast<DWORD>(number)));
  if (system.empty() || description.ends_with(system)) return description;
  return description.empty() ? system : description + L": " + system;
}

HRESULT Fail(HRESULT code, const wchar_t* description) noexcept {
  try {
    SetThreadErrorInfo(description);
  } catch (...) {
    // Out of memory for the description: the HRESULT stands alone.
  }
  return code;
}

HRESULT ReportCurrentException() noexcept {
  HRESULT result = E_UNEXPECTED;
  try {
    try {
      throw;
    } catch (const Error& error) {
      result = HresultFromErrorNumber(error.number());
      SetThreadErrorInfo(DescribeError(error.number(), error.what()));
    } catch (const std::bad_alloc&) {
      result = E_OUTOFMEMORY;
      SetThreadErrorInfo(L"out of memory");
    } catch (const std::exception& error) {
      SetThreadErrorInfo(FromUtf8(error.what()));
    } catch (...) {
      SetThreadErrorInfo(L"unexpected failure");
    }
  } catch (...) {
    // Building the description ran out of memory: the HRESULT found so far stands alone.
  }
  return result;
}

}  // namespace lexivane::component

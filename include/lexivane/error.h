// The one exception type that Lexivane throws to its host.
//
// Queries never throw on odd input; an operation that cannot do what it was asked (a custom
// dictionary that cannot be written, a word list that cannot be loaded) throws lexivane::Error
// with an error number and a description that names what failed. The number is the platform's
// (errno on POSIX, the Win32 error code on Windows) when the platform reported the failure, and
// one of Lexivane's own numbers below otherwise.
//
// Error is exported from the library with its type information, so a host catches it across the
// library boundary on every platform. Its layout (a runtime_error and one int) is fixed for the
// life of the library's major version.
#pragma once

#include <stdexcept>
#include <string>

#include "lexivane/export.h"

namespace lexivane {

// Lexivane's own error numbers, for failures that are not the platform's. Each has bit 29 set,
// the bit that Win32 leaves to applications, so none equals a Win32 error code or an errno value
// and a host (or the Windows component) can tell every failure apart by its number alone.
enum ErrorNumber : int {
  kErrorCorruptWordTables = 0x20000001,   // the word tables embedded in the library are damaged
  kErrorInvalidWordList = 0x20000002,     // a word list that cannot be prepared (build time)
  kErrorNoDialogView = 0x20000003,        // the dialog is to be shown and no view is installed
  kErrorDialogAlreadyShown = 0x20000004,  // a second showing while the dialog is up
  kErrorDialogLeftShown = 0x20000005,     // a view returned with the dialog still shown
  kErrorTextTooLong = 0x20000006,         // a text beyond 2^31 - 1 UTF-16 units to CheckText
  kErrorOutOfRange = 0x20000007,          // zlib wrapper: a size or index beyond what it can hold
  kErrorFileEmpty = 0x20000008,           // zlib wrapper: an empty input file
  kErrorFileTruncated = 0x20000009,       // zlib wrapper: a file shorter than its length prefix
  kErrorOutOfMemory = 0x2000000A,         // a buffer that could not be allocated
};

class LEXIVANE_API Error : public std::runtime_error {
 public:
  Error(int number, const std::string& description);
  ~Error() override;

  // The platform's error number, or one of ErrorNumber.
  int number() const noexcept;

 private:
  int number_;
};

}  // namespace lexivane

#include "frontend/io/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>

#include "frontend/io/command_error.h"
#include "support/descriptor.h"

namespace lexivane::frontend {

namespace {

// Writes to descriptor 1 with write(2). After a failure it keeps the error and discards
// whatever is written later, and the stream reports the failure as badbit.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() { setp(storage_, storage_ + sizeof storage_); }

  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (Drain() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return Drain() == 0 ? 0 : -1; }

 private:
  int Drain() {
    if (error_ == 0) {
      error_ =
          support::WriteAll(STDOUT_FILENO, {pbase(), static_cast<std::size_t>(pptr() - pbase())});
    }
    setp(storage_, storage_ + sizeof storage_);
    return error_;
  }

  char storage_[1 << 16];
  int error_ = 0;
};

OutputBuffer* installed = nullptr;

}  // namespace

StandardOutput::StandardOutput() {
  auto buffer = std::make_unique<OutputBuffer>();
  installed = buffer.get();
  buffer_ = std::move(buffer);
  replaced_ = std::cout.rdbuf(buffer_.get());
}

StandardOutput::~StandardOutput() {
  std::cout.rdbuf(replaced_);
  installed = nullptr;
}

void StandardOutput::Finish() {
  std::cout.flush();
  CheckStandardOutput();
}

void CheckStandardOutput() {
  if (std::cout) return;
  const int error = installed != nullptr ? installed->error() : 0;
  throw CommandError(std::string("cannot write to standard output: ") +
                     (error != 0 ? std::strerror(error) : "write error"));
}

}  // namespace lexivane::frontend

// How `check` and `list` take folders: the walk's options, and the run over the files found,
// checked in parallel with one checker per thread and printed in path order, the same for any
// number of threads. Standard error gets what could not be read, in the same order, a progress
// line on a terminal while a long walk lasts, and a summary at the end.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/io/input_text.h"
#include "frontend/pipeline/document_checker.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/project/configured_check.h"
#include "frontend/project/walk.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

struct WalkFlags {
  bool hidden = false;
  bool no_ignore = false;
  bool follow = false;
  unsigned jobs = 0;  // 0: one per core
};

// Registers --hidden, --no-ignore, --follow and --jobs N on a command.
void AddWalkOptions(CLI::App& command, WalkFlags& flags);

// What checking one file gave.
struct FileReport {
  std::string output;  // for standard output
  std::size_t findings = 0;
  std::string failure;  // why it could not be read, if it could not
  std::optional<frontend::SkipReason> skipped;
};

// A walked file open for reading, its first block read already (to judge it by), so that it is
// opened and read once.
struct OpenedFile {
  const frontend::WalkedFile& walked;
  frontend::InputFile& input;
  std::string first_block;  // for the check to read on from (ReadInput of `input`)
};

// Checks one file into its report, on the thread that made it.
using FileCheck = std::function<void(OpenedFile& file, FileReport& report)>;

struct WalkOutcome {
  bool found = false;   // a misspelt word
  bool failed = false;  // a file that could not be read
};

// What a walk that learns the project's words (frontend/project/learned_words.h) checks the
// tree with first: the command's checker setup, and the mode of a file by its path and first
// block.
struct Learning {
  frontend::CheckerSetup setup;
  std::function<frontend::DocumentMode(const std::string& path, std::string_view first_block)>
      mode_of;
};

// Walks `paths` and checks what it finds, each thread with the FileCheck that make_check made
// there. With `learning`, the files are first checked to learn the project's words, which the
// configured check then hands to each thread's session. The configuration of every file found is
// read before any is checked, so that a wrong one stops the command before it prints anything. A
// file found (not named) whose first block is not text is left out. `print` gets each file's output
// in order (standard output when none). A failure to make a checker, or to write, ends it, thrown.
WalkOutcome CheckWalkedFiles(const std::vector<std::string>& paths, const WalkFlags& flags,
                             frontend::ConfiguredCheck& configured,
                             const std::function<FileCheck()>& make_check,
                             const std::function<void(const std::string& output)>& print = {},
                             const Learning* learning = nullptr);

// Readies `session` for a walked file read in `mode` (ConfiguredCheck::Prepare) and answers how
// its document shows the identifiers of code; none, with the report marked skipped, when the
// configuration's ignore-paths leave the file out.
std::optional<frontend::CodeIdentifiers> PrepareWalkedFile(frontend::ConfiguredCheck& configured,
                                                           const frontend::WalkedFile& file,
                                                           frontend::DocumentMode mode,
                                                           frontend::SpellingSession& session,
                                                           FileReport& report);

// A reporter that counts the findings it passes on.
class FindingCounter : public frontend::Reporter {
 public:
  explicit FindingCounter(frontend::Reporter& next) : next_(next) {}
  void Report(const frontend::Document& document, const frontend::Finding& finding) override {
    ++count_;
    next_.Report(document, finding);
  }
  void Flush() override { next_.Flush(); }
  std::size_t count() const { return count_; }

 private:
  frontend::Reporter& next_;
  std::size_t count_ = 0;
};

}  // namespace lexivane::cli

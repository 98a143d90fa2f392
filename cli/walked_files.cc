#include "cli/walked_files.h"

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <new>
#include <sstream>
#include <thread>

#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "frontend/project/learned_words.h"
#include "frontend/project/ordered_jobs.h"
#include "frontend/session/offered_lists.h"
#include "lexivane/utf8.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

using Clock = std::chrono::steady_clock;

// The line on a terminal that counts the files checked, once a walk has lasted a second;
// erased before anything else is written to standard error, and at the end.
class Progress {
 public:
  explicit Progress(std::size_t total) : total_(total), shown_(::isatty(STDERR_FILENO) == 1) {}
  ~Progress() { Erase(); }

  void Done(std::size_t done) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(100)) {
      return;
    }
    last_ = now;
    // Findings printed on the same terminal go out first, and the next erases the line.
    std::cout.flush();
    CheckStandardOutput();
    std::cerr << "\rlexivane: " << done << " of " << total_ << " files checked" << std::flush;
    on_screen_ = true;
  }
  void Erase() {
    if (on_screen_) std::cerr << "\r\x1b[K" << std::flush;
    on_screen_ = false;
  }

 private:
  const std::size_t total_;
  const bool shown_;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point last_;
  bool on_screen_ = false;
};

std::string Summary(std::size_t checked, std::size_t findings, const SkipCounts& skipped,
                    double seconds) {
  std::ostringstream line;
  line << "lexivane: " << checked << (checked == 1 ? " file" : " files") << " checked, " << findings
       << (findings == 1 ? " finding" : " findings") << ", " << skipped.Total() << " skipped";
  const char* between = " (";
  for (std::size_t i = 0; i < kSkipReasons; ++i) {
    const auto reason = static_cast<SkipReason>(i);
    if (skipped.Of(reason) == 0) continue;
    line << between << skipped.Of(reason) << ' ' << SkipReasonName(reason);
    between = ", ";
  }
  if (skipped.Total() > 0) line << ')';
  line.precision(2);
  line << std::fixed << ", " << seconds << " s\n";
  return line.str();
}

// The words the project uses as its own (learned_words.h): the files checked once, each thread
// with a checker of its own, their words added up in file order, and the candidates judged.
std::shared_ptr<const LearnedWords> LearnWords(const Walk& walk, unsigned jobs,
                                               ConfiguredCheck& configured,
                                               const Learning& learning) {
  CheckerSetup setup = learning.setup;
  setup.max_suggestions = 0;
  setup.shared_suggestions = nullptr;
  using Words = FileWords::Words;
  WordTally tally;
  const std::size_t stride =
      std::max<std::size_t>(1, (walk.files.size() + kLearnedFilesMost - 1) / kLearnedFilesMost);
  RunInOrder<Words>(
      (walk.files.size() + stride - 1) / stride, jobs,
      [&] {
        auto checker = std::make_shared<PreparedChecker>(setup);
        return [&walk, &configured, &learning, checker, stride](std::size_t i) {
          const WalkedFile& file = walk.files[i * stride];
          FileWords words;
          if (!file.failure.empty()) return words.Take();
          try {
            InputFile input(file.path);
            std::string first_block = ReadFirstBlock(input);
            if (!file.named && SkipByContent(first_block)) return words.Take();
            const DocumentMode mode = learning.mode_of(file.path, first_block);
            const std::optional<CodeIdentifiers> identifiers =
                configured.Prepare(file.path, mode, checker->session());
            if (!identifiers) return words.Take();
            const InputText text = ReadInput(input, std::move(first_block));
            words.ReadText(text.text);
            checker->checker().Check({file.path, mode, *identifiers}, text.text, words);
            if (CodeIdentifiersIn(mode, true) == CodeIdentifiers::kChecked) {
              MarkNamesOfCode(text.text, words.words());
            }
          } catch (const CommandError&) {
            // Reported by the check that follows.
          } catch (const std::bad_alloc&) {
          }
          return words.Take();
        };
      },
      [&](std::size_t, Words& words) { tally.Add(words); });
  // The candidates that are surely typos (or, for names, shaped as slips) stay unlearned,
  // judged on every thread at once.
  const auto learn = [&](const std::vector<std::string>& candidates,
                         std::unordered_set<std::string>& learned, bool names) {
    std::vector<char> sure_typo(candidates.size());
    RunInOrder<char>(
        candidates.size(), jobs,
        [&] {
          auto checker = std::make_shared<PreparedChecker>(setup);
          return [&candidates, checker, names](std::size_t i) {
            SpellingSession& session = checker->session();
            return static_cast<char>(names ? !session.MayBeNameVocabulary(candidates[i])
                                           : session.TypoCost(candidates[i]) <= kSureTypoCost);
          };
        },
        [&](std::size_t i, char& sure) { sure_typo[i] = sure; });
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      if (!sure_typo[i]) learned.insert(candidates[i]);
    }
  };
  auto learned = std::make_shared<LearnedWords>();
  learn(tally.Candidates(), learned->in_prose, false);
  learn(tally.NameCandidates(), learned->in_names, true);
  std::vector<std::u16string> offered;
  for (const std::string& word : learned->in_prose) offered.push_back(FromUtf8(word));
  learned->offered = OwnWordsOffered(std::move(offered));
  return learned;
}

}  // namespace

void AddWalkOptions(CLI::App& command, WalkFlags& flags) {
  command.add_flag("--hidden", flags.hidden, "In folders, check hidden files and folders too");
  command.add_flag("--no-ignore", flags.no_ignore,
                   "In folders, check what .gitignore, .ignore and git's excludes leave out");
  command.add_flag("--follow", flags.follow, "In folders, follow symbolic links");
  command
      .add_option("-j,--jobs", flags.jobs,
                  "How many files of a folder to check at once (default: one per core)")
      ->check(CLI::Range(1U, 4096U))
      ->type_name("N");
}

std::optional<CodeIdentifiers> PrepareWalkedFile(ConfiguredCheck& configured,
                                                 const WalkedFile& file, DocumentMode mode,
                                                 SpellingSession& session, FileReport& report) {
  const std::optional<CodeIdentifiers> identifiers = configured.Prepare(file.path, mode, session);
  if (!identifiers) report.skipped = SkipReason::kConfigured;
  return identifiers;
}

WalkOutcome CheckWalkedFiles(const std::vector<std::string>& paths, const WalkFlags& flags,
                             ConfiguredCheck& configured,
                             const std::function<FileCheck()>& make_check,
                             const std::function<void(const std::string& output)>& print,
                             const Learning* learning) {
  const Clock::time_point start = Clock::now();
#if defined(__GLIBC__)
  // A tree's largest files (generated headers of tens of megabytes) need buffers several times
  // their size. glibc would raise its threshold for mapping a block to the largest freed so far
  // and then carve such buffers out of each thread's heap, where they stay as fragments: a
  // kernel tree's walk peaked 90 MB higher so. Blocks of 4 MB or more go back to the system.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
#endif
  WalkOptions options;
  options.hidden = flags.hidden;
  options.ignore_files = !flags.no_ignore;
  options.follow = flags.follow;
  const Walk walk = WalkPaths(paths, options);
  std::vector<std::string> files;
  files.reserve(walk.files.size());
  for (const WalkedFile& file : walk.files) {
    if (file.failure.empty()) files.push_back(file.path);
  }
  configured.ReadConfigurations(files);
  const unsigned jobs =
      flags.jobs > 0 ? flags.jobs : std::max(1U, std::thread::hardware_concurrency());
  if (learning != nullptr && walk.walked_directory) {
    configured.UseLearnedWords(LearnWords(walk, jobs, configured, *learning));
  }

  const std::function<std::function<FileReport(std::size_t)>()> make_worker = [&] {
    FileCheck check = make_check();
    return [&walk, check](std::size_t i) {
      const WalkedFile& file = walk.files[i];
      FileReport report;
      try {
        if (!file.failure.empty()) throw CommandError(file.path + ": " + file.failure);
        InputFile input(file.path);
        OpenedFile opened{file, input, ReadFirstBlock(input)};
        if (!file.named) report.skipped = SkipByContent(opened.first_block);
        if (!report.skipped) check(opened, report);
      } catch (const CommandError& error) {
        report = FileReport{};
        report.failure = error.what();
      } catch (const std::bad_alloc&) {
        report = FileReport{};
        report.failure = file.path + ": not enough memory to check it";
      }
      return report;
    };
  };
  WalkOutcome outcome;
  SkipCounts skipped = walk.skipped;
  std::size_t checked = 0, findings = 0;
  Progress progress(walk.files.size());
  RunInOrder<FileReport>(walk.files.size(), jobs, make_worker,
                         [&](std::size_t i, FileReport& report) {
                           if (!report.output.empty()) {
                             progress.Erase();
                             if (print) {
                               print(report.output);
                             } else {
                               std::cout << report.output;
                             }
                             CheckStandardOutput();
                           }
                           if (!report.failure.empty()) {
                             progress.Erase();
                             std::cerr << "lexivane: " << report.failure << std::endl;
                             outcome.failed = true;
                           } else if (report.skipped) {
                             skipped.Add(*report.skipped);
                           } else {
                             ++checked;
                           }
                           findings += report.findings;
                           outcome.found = outcome.found || report.findings > 0;
                           progress.Done(i + 1);
                         });
  progress.Erase();
  if (walk.walked_directory) {
    const std::chrono::duration<double> seconds = Clock::now() - start;
    std::cerr << Summary(checked, findings, skipped, seconds.count()) << std::flush;
  }
  return outcome;
}

}  // namespace lexivane::cli

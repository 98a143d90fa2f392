#include "fix/correct_file.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <vector>

#include "fix/add_word_recorder.h"
#include "fix/answer_front_end.h"
#include "fix/careful_host.h"
#include "fix/document_prose.h"
#include "fix/terminal.h"
#include "fix/terminal_dialog_view.h"
#include "fix/text_file.h"
#include "fix/window_front_end.h"
#include "frontend/io/command_error.h"
#include "frontend/io/sink_connection.h"
#include "frontend/io/text_positions.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/custom_dictionary_file.h"
#include "lexivane/dialog.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend::fix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuietTime = std::chrono::milliseconds(500);  // no progress for quicker runs

// Where the front end's picture of the text comes from, and what the flow needs to know about
// the run: whether it was cancelled. It also reports progress on standard error once checking
// (not the person's thinking in the dialog) has taken longer than kQuietTime.
class RunWatcher : public SpellCheckEvents {
 public:
  RunWatcher(const CarefulHost& host, FrontEnd& front_end, std::string name)
      : host_(host), front_end_(front_end), name_(std::move(name)) {}

  void SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal, std::int32_t) override {
    const Clock::time_point now = Clock::now();
    if (!after_dialog_) checking_ += now - last_event_;
    after_dialog_ = false;
    last_event_ = now;
    if (checking_ < kQuietTime || lTotal <= 0) return;
    const int percent = static_cast<int>(100LL * lPosition / lTotal);
    if (percent == shown_percent_) return;
    shown_percent_ = percent;
    line_open_ = true;
    std::cerr << "\rlexivane: " << name_ << ": " << percent << "% checked" << std::flush;
  }

  void SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                         bool&) override {
    EndProgressLine();
    after_dialog_ = true;
    front_end_.ShowWord(InLine(sOriginalWord.size(), static_cast<std::size_t>(lPosStart)));
  }

  void SpellCheckCancel() override { cancelled_ = true; }

  bool cancelled() const { return cancelled_; }

  void EndProgressLine() {
    if (line_open_) std::cerr << '\n';
    line_open_ = false;
    shown_percent_ = -1;
  }

 private:
  // The word's line in the text as corrected so far.
  WordInLine InLine(std::size_t length, std::size_t working_position) const {
    const std::u16string text = host_.Result();
    const std::size_t at = host_.ResultPosition(working_position);
    const LinePosition position = PositionCounter(text, Columns::kUtf16Units).At(at);
    const std::size_t start = at - position.column;
    const std::size_t end = LineEnd(text, at);
    return {position.line + 1, text.substr(start, end - start), position.column,
            std::min(length, end - at)};
  }

  const CarefulHost& host_;
  FrontEnd& front_end_;
  std::string name_;
  bool cancelled_ = false;
  Clock::duration checking_{};
  Clock::time_point last_event_ = Clock::now();
  bool after_dialog_ = false;
  int shown_percent_ = -1;
  bool line_open_ = false;
};

// Puts the thread's default dialog view back however the run ends.
class ViewInstallation {
 public:
  explicit ViewInstallation(DialogView& view) { SetDialogView(&view); }
  ViewInstallation(const ViewInstallation&) = delete;
  ViewInstallation& operator=(const ViewInstallation&) = delete;
  ~ViewInstallation() { SetDialogView(nullptr); }
};

std::unique_ptr<FrontEnd> OpenFrontEnd(const FixOptions& options,
                                       std::unique_ptr<Terminal>& terminal) {
  if (!options.terminal && DisplayAvailable()) {
    std::string why_not;
    if (auto window = MakeWindowFrontEnd(why_not)) return window;
    if (!why_not.empty()) std::cerr << "lexivane: " << why_not << "; asking on the terminal\n";
  }
  terminal = Terminal::Open();
  if (!terminal) {
    throw CommandError(options.file + ": not changed: " +
                       (options.terminal ? "there is no terminal to ask on (--terminal)"
                                         : "there is neither a display nor a terminal to ask on"));
  }
  return std::make_unique<TerminalDialogView>(*terminal);
}

// The custom dictionary's bytes when the run begins, for its backup; none while it does not
// exist yet (Add Word will create it).
std::optional<std::string> OriginalBytes(const CustomDictionaryFile& custom) {
  if (custom.IsMissing()) return std::nullopt;
  std::ifstream in(custom.path(), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw CommandError(custom.path() + ": cannot read the custom dictionary");
  return bytes.str();
}

// Adds the words to the dictionary as it is on disk now, after keeping the bytes it had when
// the run began as FILE.bak.
void SaveAddedWords(const std::vector<std::u16string>& words, const CustomDictionaryFile& custom,
                    const std::optional<std::string>& original, bool backup) {
  const std::string& file = custom.path();
  try {
    if (backup && original) {
      struct stat info;
      const mode_t mode = ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0600;
      ReplaceFile(file + ".bak", *original, mode, file + ".bak");
    }
    custom.AddWords(words);
  } catch (const std::exception& error) {
    throw CommandError(std::string(error.what()) + "; the words added were not saved");
  }
}

// Where the original is kept; empty for nowhere.
std::string Backup(const FixOptions& options) {
  return options.no_backup ? std::string() : options.file + ".bak";
}

std::string Words(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " word" : " words");
}

// Writes the corrected text when there is one to keep; answers the exit code.
int WriteCorrections(const FixOptions& options, const TextFile& file, WriteMethod method,
                     std::u16string_view result, bool cancelled, bool write,
                     std::size_t words_changed) {
  if (!write) {
    std::cerr << "lexivane: " << options.file << ": "
              << (cancelled ? "cancelled; " : "no changes; ") << "not changed\n";
    return cancelled ? kExitFound : kExitClean;
  }
  const std::string bytes = EncodeLike(file, result);
  if (ChangedOnDisk(file)) {
    const std::string beside = WriteBeside(file, ".fixed", bytes);
    throw CommandError(options.file +
                       ": changed on disk while it was being corrected, so it was left as it "
                       "is; the corrected text is in " +
                       beside);
  }
  const std::string backup = Backup(options);
  WriteBack(file, method, backup, bytes);
  std::cerr << "lexivane: " << options.file << ": " << Words(words_changed) << " changed"
            << (backup.empty() ? "" : "; the original is in " + backup) << '\n';
  return kExitClean;
}

}  // namespace

int CorrectFile(const FixOptions& options, DocumentMode mode) {
  const TextFile file = ReadTextFile(options.file);
  const WriteMethod method = PlanWrite(file, Backup(options));
  std::unique_ptr<Terminal> terminal;
  std::unique_ptr<FrontEnd> front_end = OpenFrontEnd(options, terminal);

  CheckerSetup setup;
  setup.custom_file = options.custom_file;
  setup.missing = CustomDictionaryFile::Missing::kNoneUntilMade;
  setup.rules = AllRulesExcept(options.rules_off);
  PreparedChecker checker(setup);
  SpellCheck& engine = checker.engine();
  const std::optional<std::string> original = OriginalBytes(checker.custom_file());

  AddWordRecorder recorder(front_end->view(), checker.session());
  const std::u16string prose = DocumentProse(file.text, mode);
  CarefulHost host(engine, prose, file.text);
  RunWatcher watcher(host, *front_end, options.file);
  {
    const ViewInstallation installation(recorder);
    const SinkConnection host_connection(engine, host);
    const SinkConnection watcher_connection(engine, watcher);
    engine.CheckText(prose, true);
  }
  watcher.EndProgressLine();

  const std::u16string result = host.Result();
  const bool changed = result != file.text;
  const bool keep =
      !watcher.cancelled() || (changed && front_end->KeepChangesAfterCancel(host.words_changed()));
  const std::vector<std::u16string> added_words = recorder.added_words();
  front_end.reset();
  terminal.reset();  // the terminal as it was before any message

  // The words added are saved whatever becomes of the text, and a failure to save them does
  // not keep the corrections from being written: it is reported after them.
  std::optional<std::string> custom_failure;
  if (!added_words.empty()) {
    try {
      SaveAddedWords(added_words, checker.custom_file(), original, !options.no_backup);
    } catch (const CommandError& error) {
      custom_failure = error.what();
    }
  }
  int code = kExitClean;
  try {
    code = WriteCorrections(options, file, method, result, watcher.cancelled(), keep && changed,
                            host.words_changed());
  } catch (const CommandError&) {
    if (custom_failure) std::cerr << "lexivane: " << *custom_failure << '\n';
    throw;
  }
  if (custom_failure) throw CommandError(*custom_failure);
  return code;
}

}  // namespace lexivane::frontend::fix

#include "cli/fix_command.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

#include "fix/add_word_recorder.h"
#include "fix/careful_host.h"
#include "frontend/custom_dictionary_file.h"
#include "fix/answer_front_end.h"
#include "fix/terminal.h"
#include "fix/terminal_dialog_view.h"
#include "fix/text_file.h"
#include "lexivane/dialog.h"
#include "lexivane/utf8.h"
#include "fix/window_front_end.h"

namespace lexivane::cli {

using namespace frontend;

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
  // The word's line in the text as corrected so far. Line ends are LF, CR LF or a lone CR.
  WordInLine InLine(std::size_t length, std::size_t working_position) const {
    const std::u16string text = host_.Result();
    const std::size_t at = host_.ResultPosition(working_position);
    WordInLine word;
    const std::size_t before = text.find_last_of(u"\r\n", at == 0 ? 0 : at - 1);
    const std::size_t start = at == 0 || before == std::u16string::npos ? 0 : before + 1;
    const std::size_t end = std::min(text.find_first_of(u"\r\n", at), text.size());
    word.line_number = 1;
    for (std::size_t i = 0; i < start; ++i) {
      if (text[i] == u'\n' || (text[i] == u'\r' && text[i + 1] != u'\n')) ++word.line_number;
    }
    word.line = text.substr(start, end - start);
    word.word_start = at - start;
    word.word_length = std::min(length, end - at);
    return word;
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

// The custom dictionary: its file, and its bytes when it exists, for the backup.
struct CustomDictionary {
  std::string file;
  std::optional<std::string> original;
};

CustomDictionary OpenCustomDictionary(SpellCheck& engine,
                                      const std::optional<std::string>& custom_file) {
  CustomDictionary custom{custom_file.value_or(DefaultCustomDictionaryFile()), std::nullopt};
  struct stat info;
  // A dictionary that does not exist yet starts empty; Add Word will create it.
  if (custom.file.empty() ||
      (::stat(custom.file.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR))) {
    return custom;
  }
  LoadCustomDictionary(engine, custom.file);
  std::ifstream in(custom.file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw CommandError(custom.file + ": cannot read the custom dictionary");
  custom.original = bytes.str();
  return custom;
}

void SaveAddedWords(SpellCheck& engine, const CustomDictionary& custom, bool backup) {
  try {
    if (backup && custom.original) {
      struct stat info;
      const mode_t mode = ::stat(custom.file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0600;
      ReplaceFile(custom.file + ".bak", *custom.original, mode, custom.file + ".bak");
    }
    engine.SaveCustom(FromUtf8(custom.file));
  } catch (const std::exception& error) {
    throw CommandError(std::string(error.what()) + "; the words added were not saved");
  }
}

std::string Words(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " word" : " words");
}

// Writes the corrected text when there is one to keep; answers the exit code.
int WriteCorrections(const FixOptions& options, const TextFile& file, std::u16string_view result,
                     bool cancelled, bool write, std::size_t words_changed) {
  if (!write) {
    std::cerr << "lexivane: " << options.file << ": "
              << (cancelled ? "cancelled; " : "no changes; ") << "not changed\n";
    return cancelled ? kExitFound : kExitClean;
  }
  const std::string bytes = EncodeLike(file, result);
  if (ChangedOnDisk(file)) {
    const std::string beside = WriteBeside(file.path, ".fixed", bytes, file.mode);
    throw CommandError(options.file +
                       ": changed on disk while it was being corrected, so it was left as it "
                       "is; the corrected text is in " +
                       beside);
  }
  const std::string backup = options.file + ".bak";
  try {
    if (!options.no_backup) ReplaceFile(backup, file.bytes, file.mode, backup);
    ReplaceFile(file.path, bytes, file.mode, options.file);
  } catch (const CommandError& error) {
    throw CommandError(std::string(error.what()) + "; " + options.file + " was not changed");
  }
  std::cerr << "lexivane: " << options.file << ": " << Words(words_changed) << " changed"
            << (options.no_backup ? "" : "; the original is in " + backup) << '\n';
  return kExitClean;
}

}  // namespace

void AddFixCommand(CLI::App& app, FixOptions& options) {
  CLI::App* fix = app.add_subcommand(
      "fix",
      "Correct a UTF-8 text file word by word with the suggestions dialog, in a window when "
      "there is a display, otherwise on the terminal");
  fix->add_option("FILE", options.file, "The file to correct")->required();
  fix->add_flag("--terminal", options.terminal,
                "Answer on the terminal even when there is a display");
  AddCustomOption(*fix, options.custom_file);
  fix->add_flag("--no-backup", options.no_backup,
                "Keep no copy of the original as FILE.bak (nor of the custom dictionary)");
  fix->footer(
      "Exit status: 0 done, 1 cancelled and the file left as it was, 2 an error (the file left "
      "as it was).");
}

int RunFix(const FixOptions& options) {
  const TextFile file = ReadTextFile(options.file);
  CheckReplaceable(file);
  std::unique_ptr<Terminal> terminal;
  std::unique_ptr<FrontEnd> front_end = OpenFrontEnd(options, terminal);

  SpellCheck engine;
  engine.Init();
  const CustomDictionary custom = OpenCustomDictionary(engine, options.custom_file);

  AddWordRecorder recorder(front_end->view());
  CarefulHost host(engine, file.text);
  RunWatcher watcher(host, *front_end, options.file);
  {
    const ViewInstallation installation(recorder);
    const SinkConnection host_connection(engine, host);
    const SinkConnection watcher_connection(engine, watcher);
    engine.CheckText(file.text, true);
  }
  watcher.EndProgressLine();

  const std::u16string result = host.Result();
  const bool changed = result != file.text;
  const bool keep =
      !watcher.cancelled() || (changed && front_end->KeepChangesAfterCancel(host.words_changed()));
  const bool added_words = recorder.added_words();
  front_end.reset();
  terminal.reset();  // the terminal as it was before any message

  // The words added are saved whatever becomes of the text, and a failure to save them does
  // not keep the corrections from being written: it is reported after them.
  std::optional<std::string> custom_failure;
  if (added_words) {
    try {
      SaveAddedWords(engine, custom, !options.no_backup);
    } catch (const CommandError& error) {
      custom_failure = error.what();
    }
  }
  int code = kExitClean;
  try {
    code = WriteCorrections(options, file, result, watcher.cancelled(), keep && changed,
                            host.words_changed());
  } catch (const CommandError&) {
    if (custom_failure) std::cerr << "lexivane: " << *custom_failure << '\n';
    throw;
  }
  if (custom_failure) throw CommandError(*custom_failure);
  return code;
}

}  // namespace lexivane::cli

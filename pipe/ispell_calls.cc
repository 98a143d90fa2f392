#include "pipe/ispell_calls.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>

#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "frontend/modes/document_modes.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/pipeline/word_list_reporter.h"
#include "frontend/session/custom_dictionary_file.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/ranking.h"
#include "frontend/session/word_rules.h"
#include "frontend/words/running_words.h"
#include "lexivane/shown_suggestions.h"
#include "pipe/ispell_session.h"
#include "support/ascii.h"

namespace lexivane::frontend::ispell {

namespace {

// A longer line is not checked (it gets its blank line and a warning): a client that sends
// endless bytes without a line end must not exhaust the memory.
constexpr std::size_t kMaxLine = std::size_t{64} << 20;

constexpr std::string_view kDictionaries[] = {"en_US", "en_GB", "en_CA", "en_AU", "en"};

enum class Call {
  kHelp,
  kPipe,
  kList,
  kBanner,
  kListDictionaries,
  kWordCharacters,
  kDictionaries,
  kConfig
};

struct IspellOptions {
  Call call = Call::kPipe;
  std::optional<std::string> personal_file;
  std::optional<DocumentMode> mode;    // the text's, for the session and the files of list mode
  std::vector<std::string> files;      // list mode's texts; none means standard input
  std::vector<std::string> rules_off;  // names of word rules, several to an item with commas
  Ranking ranking = kDefaultRanking;
  EnglishVariant variant = kDefaultVariant;  // the dictionary asked for
};

// The dictionaries a client may ask for, one an English variant (english_variant.h), named as
// locales and editors name them: en_GB, en-GB, british; en for any variant.
EnglishVariant VariantOfDictionary(const std::string& name) {
  if (name == "english" || name == "american" || name == "default")
    return EnglishVariant::kAmerican;
  if (name == "british") return EnglishVariant::kBritish;
  if (name == "canadian") return EnglishVariant::kCanadian;
  if (name == "australian") return EnglishVariant::kAustralian;
  if (const auto variant = NamedVariant(name)) return *variant;
  throw CommandError("no dictionary " + name +
                     ": the dictionaries are en_US, en_GB, en_CA, en_AU and en (any of them)");
}

void CheckEncoding(std::string name) {
  name = support::AsciiLowered(name);
  if (name != "utf-8" && name != "utf8") {
    throw CommandError("encoding " + name + ": lexivane speaks UTF-8 only");
  }
}

constexpr const char* kHelpBeforeRankings =
    "The ispell interface of lexivane, for editors (docs/cli.md):\n"
    "  lexivane -a [OPTION...]           the ispell pipe on standard input and output (also\n"
    "                                    lexivane pipe)\n"
    "  lexivane -l [OPTION...] [FILE...] print the misspelt words of the files (standard input\n"
    "                                    when none, or for -), one a line; exit status 0\n"
    "  lexivane -v | -vv                 print the banner\n"
    "  lexivane -list-dicts | -D         print the dictionaries\n"
    "  lexivane -word-chars [DICT]       print the characters besides letters that words hold\n"
    "  lexivane dicts | config KEY       print the dictionaries; a setting (none has a value)\n"
    "Options:\n"
    "  -d DICT, --lang=DICT, --master=DICT   en_US (also en-US, english, american, default),\n"
    "                                        en_GB (british), en_CA, en_AU, en (any of them)\n"
    "  -p FILE, --personal=FILE              the personal dictionary (default: the custom one)\n"
    "  -i ENC, --encoding=ENC                UTF-8, the only encoding\n"
    "  -H, -t, -n                            read HTML, TeX, nroff (--mode=html, tex, nroff)\n"
    "  --mode=NAME                           read the text in a mode of lexivane check --mode\n"
    "  --no-rule=NAME[,NAME...]              switch a word rule off (lexivane check\n"
    "                                        --no-rule)\n"
    "  --ranking=NAME                        the order of the suggestions, one of:\n";
constexpr const char* kHelpAfterRankings =
    "  -m -B -C -S -P -x -T FORMAT           accepted and ignored\n"
    "  --                                    the arguments after it are files\n"
    "  -h, --help                            print this help\n";

std::string Help() {
  std::string help = kHelpBeforeRankings;
  for (const RankingName& known : RankingNames()) {
    std::string name = "    " + std::string(known.name);
    if (known.ranking == kDefaultRanking) name += " (the default)";
    help += name + std::string(40 - name.size(), ' ') + std::string(known.what) + '\n';
  }
  return help + kHelpAfterRankings;
}

// ispell's options that change nothing here: -m (affix information), -B and -C (run-together
// words), -S (suggestion order), -P, -x (no backup file).
bool IsIgnoredFlag(std::string_view argument) {
  static constexpr std::string_view kFlags[] = {"-m", "-B", "-C", "-S", "-P", "-x"};
  return std::find(std::begin(kFlags), std::end(kFlags), argument) != std::end(kFlags);
}

std::string RuleNameList() {
  std::string known = "the rules are ";
  for (const std::string_view name : WordRuleNames()) known += std::string(name) + ", ";
  return known.substr(0, known.size() - 2);
}

IspellOptions Parse(const std::vector<std::string>& arguments) {
  IspellOptions options;
  std::size_t i = 0;
  if (!arguments.empty() && arguments[0] == "pipe") ++i;
  const auto value = [&](const std::string& option) -> std::string {
    if (++i >= arguments.size()) throw CommandError(option + " needs a value");
    return arguments[i];
  };
  for (; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || argument == "-a" || IsIgnoredFlag(argument)) continue;
    if (argument == "--") {  // what follows are files, whatever they look like
      options.files.insert(options.files.end(),
                           arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
      break;
    }
    if (argument == "--help" || argument == "-h") {
      options.call = Call::kHelp;
      return options;
    }
    if (argument == "-l") {
      options.call = Call::kList;
    } else if (argument == "-v" || argument == "-vv") {
      options.call = Call::kBanner;
    } else if (argument == "-list-dicts" || argument == "-D") {
      options.call = Call::kListDictionaries;
    } else if (argument == "-word-chars") {
      options.call = Call::kWordCharacters;
      if (i + 1 < arguments.size()) VariantOfDictionary(arguments[++i]);
    } else if (i == 0 && argument == "dicts") {
      options.call = Call::kDictionaries;
    } else if (i == 0 && argument == "config") {
      options.call = Call::kConfig;
      i = arguments.size();
    } else if (argument == "-H" || argument == "-t" || argument == "-n") {
      options.mode = argument == "-H"   ? DocumentMode::kHtml
                     : argument == "-t" ? DocumentMode::kTex
                                        : DocumentMode::kNroff;
    } else if (argument == "--mode" || argument.starts_with("--mode=")) {
      const std::string name =
          argument == "--mode" ? value(argument) : argument.substr(argument.find('=') + 1);
      options.mode = ModeNamed(name);
      if (!options.mode) {
        std::string known;
        for (const ModeName& mode : ModeNames())
          known += (known.empty() ? "" : ", ") + std::string(mode.name);
        throw CommandError("unknown mode " + name + ": the modes are " + known);
      }
    } else if (argument == "--no-rule" || argument.starts_with("--no-rule=")) {
      options.rules_off.push_back(
          argument == "--no-rule" ? value(argument) : argument.substr(argument.find('=') + 1));
      std::string unknown;
      AllRulesExcept({options.rules_off.back()}, &unknown);
      if (!unknown.empty())
        throw CommandError("unknown word rule " + unknown + ": " + RuleNameList());
    } else if (argument == "--ranking" || argument.starts_with("--ranking=")) {
      const std::string name =
          argument == "--ranking" ? value(argument) : argument.substr(argument.find('=') + 1);
      const std::optional<Ranking> ranking = RankingNamed(name);
      if (!ranking)
        throw CommandError("unknown ranking " + name + ": the rankings are " + RankingNameList());
      options.ranking = *ranking;
    } else if (argument == "-d") {
      options.variant = VariantOfDictionary(value(argument));
    } else if (argument == "-i") {
      CheckEncoding(value(argument));
    } else if (argument == "-T") {
      value(argument);  // ispell's formatter name: the text is plain text whatever it says
    } else if (argument.starts_with("--encoding=")) {
      CheckEncoding(argument.substr(11));
    } else if (argument.starts_with("--lang=") || argument.starts_with("--master=")) {
      options.variant = VariantOfDictionary(argument.substr(argument.find('=') + 1));
    } else if (argument == "-p" || argument.starts_with("--personal=")) {
      options.personal_file =
          argument == "-p" ? value(argument) : argument.substr(argument.find('=') + 1);
      if (options.personal_file->empty())
        throw CommandError("the personal dictionary's name is empty");
    } else if (argument.starts_with("-d") || argument.starts_with("-p")) {
      // ispell also takes the value glued to the option.
      if (argument[1] == 'd') {
        options.variant = VariantOfDictionary(argument.substr(2));
      } else {
        options.personal_file = argument.substr(2);
      }
    } else if (argument == "-" || !argument.starts_with("-")) {
      options.files.push_back(argument);
    } else {
      throw CommandError("unknown option for the ispell interface: " + argument);
    }
  }
  if (!options.files.empty() && options.call != Call::kList) {
    throw CommandError("a file to check (" + options.files.front() +
                       ") is only taken in list mode (-l); the pipe reads standard input");
  }
  return options;
}

// Reads standard input line by line with read(2), so that a line is answered as soon as it has
// arrived, whatever follows.
class LineReader {
 public:
  // The next line without its line end in `line`; false at the end of the input. A line longer
  // than kMaxLine is skipped whole and reported as `too_long`, with `line` empty.
  bool Next(std::string& line, bool& too_long) {
    too_long = false;
    line.clear();
    std::size_t searched = start_;
    for (;;) {
      const std::size_t end = buffer_.find('\n', searched);
      if (end != std::string::npos) {
        if (!too_long) line.assign(buffer_, start_, end - start_);
        start_ = end + 1;
        return true;
      }
      if (at_end_) {
        const bool last = start_ < buffer_.size() || too_long;
        if (!too_long) line.assign(buffer_, start_);
        start_ = buffer_.size();
        return last;
      }
      if (buffer_.size() - start_ > kMaxLine) {
        too_long = true;
        buffer_.clear();
      } else {
        buffer_.erase(0, start_);  // only moves anything once per line
      }
      start_ = 0;
      searched = buffer_.size();
      Fill();
    }
  }

 private:
  void Fill() {
    char chunk[1 << 16];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0)
        throw CommandError(std::string("cannot read standard input: ") + std::strerror(errno));
      if (n == 0) at_end_ = true;
      buffer_.append(chunk, static_cast<std::size_t>(n));
      return;
    }
  }

  std::string buffer_;
  std::size_t start_ = 0;
  bool at_end_ = false;
};

void Warn(const std::string& message) {
  std::cerr << "lexivane: " << message << std::endl;
}

// The personal dictionary named with -p need not exist yet: `#` creates it. One that exists
// must be read, or the session would flag the user's words.
CheckerSetup SetupOf(const IspellOptions& options) {
  CheckerSetup setup;
  setup.custom_file = options.personal_file;
  setup.missing = CustomDictionaryFile::Missing::kNoneUntilMade;
  setup.rules = AllRulesExcept(options.rules_off);
  setup.variant = options.variant;
  setup.ranking = options.ranking;
  setup.max_suggestions = kShownSuggestionsMax;
  return setup;
}

// List mode is `lexivane list` with the personal dictionary as the custom one, but succeeds
// whatever it finds, as its callers expect (Emacs takes any other status for a failure to
// check); a file it could not read is a failure.
int ListMisspellings(const IspellOptions& options) {
  PreparedChecker checker(SetupOf(options));
  std::function<DocumentMode(const std::string&)> mode_of;
  if (options.mode) mode_of = [mode = *options.mode](const std::string&) { return mode; };
  return ListMisspeltWordsOfFiles(checker, options.files, false, mode_of).failed ? kExitError
                                                                                 : kExitClean;
}

int Converse(const IspellOptions& options) {
  PreparedChecker checker(SetupOf(options));
  IspellSession session(checker, options.mode.value_or(DocumentMode::kNone));
  std::cout << IspellBanner() << '\n' << std::flush;
  CheckStandardOutput();
  LineReader reader;
  std::string line;
  bool too_long = false;
  for (std::size_t number = 1; reader.Next(line, too_long); ++number) {
    if (too_long) {
      Warn("line " + std::to_string(number) + " is longer than " + std::to_string(kMaxLine) +
           " bytes and was not checked");
      std::cout << '\n';
    } else {
      std::cout << session.Answer(line);
    }
    // The client waits for each answer before it sends the next line.
    std::cout.flush();
    CheckStandardOutput();
    if (const auto warning = session.TakeWarning()) Warn(*warning);
  }
  return kExitClean;
}

}  // namespace

bool IsIspellCall(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  const std::string& first = arguments[0];
  if (first == "pipe" || first == "dicts" || first == "config" || first.empty()) return true;
  static constexpr std::string_view kCalls[] = {"-a",          "-l", "-v", "-vv", "-list-dicts",
                                                "-word-chars", "-D", "-d", "-i",  "-p",
                                                "-T",          "-H", "-t", "-n"};
  return IsIgnoredFlag(first) ||
         std::find(std::begin(kCalls), std::end(kCalls), first) != std::end(kCalls) ||
         first.starts_with("--encoding=") || first.starts_with("--lang=") ||
         first.starts_with("--master=") || first.starts_with("--personal=");
}

int RunIspellCall(const std::vector<std::string>& arguments) {
  const IspellOptions options = Parse(arguments);
  switch (options.call) {
    case Call::kHelp:
      std::cout << Help();
      break;
    case Call::kBanner:
      std::cout << IspellBanner() << '\n';
      break;
    case Call::kListDictionaries:
      for (const std::string_view tag : kDictionaries) std::cout << tag << " (lexivane)\n";
      break;
    case Call::kDictionaries:
      for (const std::string_view tag : kDictionaries) std::cout << tag << '\n';
      break;
    case Call::kWordCharacters:
      // Apostrophes join the parts of a word ("don't"); the editor takes letters as given.
      std::cout << kApostrophesUtf8 << '\n';
      break;
    case Call::kConfig:
      std::cout << '\n';  // no setting has a folder or a value a client could use
      break;
    case Call::kList:
      return ListMisspellings(options);
    case Call::kPipe:
      return Converse(options);
  }
  CheckStandardOutput();
  return kExitClean;
}

}  // namespace lexivane::frontend::ispell

#include "lsp/misspelling_finder.h"

#include "frontend/command_error.h"
#include "frontend/running_words.h"

namespace lexivane::frontend::lsp {

namespace {

// How often, in words, a check asks whether to stop.
constexpr std::size_t kWordsBetweenStopChecks = 4096;

struct Stopped {};

}  // namespace

MisspellingFinder::PreparedEngine::PreparedEngine(const CheckerSettings& settings,
                                                  const Warn& warn) {
  engine.Init();
  engine.SetSuggestionSimilarity(settings.suggestion_threshold);
  const CustomDictionaryFile file = CustomDictionaryOf(settings);
  try {
    if (file.LoadInto(engine)) loaded_file = file.path();
  } catch (const CommandError& error) {
    warn(std::string(error.what()) + "; checking without it");
  }
}

MisspellingFinder::MisspellingFinder(const CheckerSettings& settings, const Warn& warn)
    : prepared_(settings, warn), session_(prepared_.engine, settings.max_suggestions) {}

std::optional<std::vector<Misspelling>> MisspellingFinder::Find(std::u16string_view text,
                                                                const std::function<bool()>& stop) {
  std::vector<Misspelling> found;
  std::size_t words = 0;
  try {
    ForEachRunningWord(text, [&](const RunningWord& word) {
      if (stop && ++words % kWordsBetweenStopChecks == 0 && stop()) throw Stopped{};
      if (session_.Accepts(word.word)) return;
      found.push_back({word.offset, word.length,
                       std::u16string(text.substr(word.offset, word.length)),
                       session_.Suggestions(word.word)});
    });
  } catch (const Stopped&) {
    return std::nullopt;
  }
  return found;
}

void MisspellingFinder::Add(std::u16string_view word) {
  session_.AddToCustom(word);
}

void MisspellingFinder::Ignore(std::u16string_view word) {
  session_.AcceptForSession(word);
}

void MisspellingFinder::Take(const SessionWords& words) {
  for (const std::u16string& word : words.added) Add(word);
  for (const std::u16string& word : words.ignored) Ignore(word);
}

}  // namespace lexivane::frontend::lsp

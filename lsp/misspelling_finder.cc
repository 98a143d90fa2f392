#include "lsp/misspelling_finder.h"

#include <string>
#include <utility>

#include "frontend/command_error.h"
#include "frontend/identifier_parts.h"
#include "frontend/running_words.h"

namespace lexivane::frontend::lsp {

namespace {

// How often, in words, a check asks whether to stop.
constexpr std::size_t kWordsBetweenStopChecks = 4096;

struct Stopped {};

}  // namespace

MisspellingFinder::PreparedEngine::PreparedEngine(const CheckerSettings& settings, Warn warn)
    : file(CustomDictionaryOf(settings)), warn(std::move(warn)) {
  engine.Init();
  engine.SetSuggestionSimilarity(settings.suggestion_threshold);
  // Looked at before it is read: a change made while it is read shows at the next look.
  Load(file.Stamp());
}

bool MisspellingFinder::PreparedEngine::Load(std::optional<FileStamp> now) {
  stamp = now;
  try {
    AcceptedNames read;
    if (!file.LoadInto(engine, &read)) return false;
    names = std::move(read);
  } catch (const CommandError& error) {
    warn(std::string(error.what()) +
         (loaded_file ? "; checking with the words read before" : "; checking without it"));
    return false;
  }
  loaded_file = file.path();
  return true;
}

MisspellingFinder::MisspellingFinder(const CheckerSettings& settings, const Warn& warn)
    : prepared_(settings, warn),
      session_(prepared_.engine, settings.max_suggestions, settings.rules, settings.ranking) {
  session_.AcceptNames(prepared_.names);
}

std::optional<std::vector<Misspelling>> MisspellingFinder::Find(std::u16string_view text,
                                                                const std::function<bool()>& stop,
                                                                CodeIdentifiers identifiers) {
  std::vector<Misspelling> found;
  std::size_t words = 0;
  try {
    ForEachCheckedWord(text, identifiers, [&](const RunningWord& word) {
      if (stop && ++words % kWordsBetweenStopChecks == 0 && stop()) throw Stopped{};
      if (session_.Accepts(word.word)) return;
      // As written, less the word joiners that stand in for the rest of a reference such as
      // `&eacute;` in a document's prose: "caf&eacute;" reads "café".
      std::u16string as_written(text.substr(word.offset, word.length));
      std::erase(as_written, u'\u2060');
      found.push_back({word.offset, word.length, std::move(as_written)});
    });
  } catch (const Stopped&) {
    return std::nullopt;
  }
  return found;
}

SuggestionList MisspellingFinder::Suggestions(const Misspelling& misspelling) {
  // The word as it was checked: the word joiners are already out of the word as written.
  std::u16string checked = misspelling.word;
  ReadApostrophes(checked);
  return session_.Suggestions(checked);
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

bool MisspellingFinder::CatchUpWithCustomFile() {
  const std::optional<FileStamp> now = prepared_.file.Stamp();
  // A file gone keeps its words: nothing takes words out of a thread's custom dictionary.
  if (now == prepared_.stamp || !now || !prepared_.Load(now)) return false;
  // The file's words replaced the thread's custom dictionary, the session's among them.
  for (const std::u16string& word : session_.added_words()) prepared_.engine.AddToCustom(word);
  session_.AcceptNames(prepared_.names);
  return true;
}

}  // namespace lexivane::frontend::lsp

#include "lexivane/spell_check.h"

#include <limits>
#include <memory>
#include <utility>

#include "api/thread_state.h"
#include "platform/files.h"
#include "platform/message_loop.h"
#include "platform/module.h"
#include "suggest/speller.h"
#include "textcheck/event_sinks.h"
#include "textcheck/replace_word.h"
#include "textcheck/text_check_run.h"

namespace lexivane {

namespace {

constexpr char16_t kCustomDictionaryFile[] = u"lvscust.dic";

std::u16string OrDefaultPath(std::u16string_view file) {
  return file.empty() ? DefaultCustomDictionaryPath() : std::u16string(file);
}

Speller SpellerFor(float threshold) {
  return Speller(ThisThread().dictionaries, threshold);
}

// What a text check run reaches through the component: the thread's word check, its dialog and
// the yield installed on it.
class ThreadTextCheckHost final : public TextCheckHost {
 public:
  explicit ThreadTextCheckHost(ThreadState& state) : state_(state) {}

  bool CheckWord(std::u16string_view token) override {
    return IsAcceptedWord(state_.dictionaries, token, true);
  }

  Answer AskUser(std::u16string_view token) override {
    Answer answer;
    answer.text = state_.dialog_operations.ShowSuggestionDialog(token, &answer.change_all,
                                                                &answer.ignore_all);
    return answer;
  }

  void Yield(bool host_code_ran) override {
    // A copy, so that a yield that installs another one keeps running to its end.
    if (const std::function<void()> yield = state_.yield) {
      yield();
    } else {
      platform::ProcessPendingMessages(host_code_ran);
    }
  }

 private:
  ThreadState& state_;
};

}  // namespace

struct SpellCheck::Object {
  float SimilarityThreshold = kDefaultSimilarityThreshold;
  // Shared with every run of CheckText on this object, so that a handler that destroys the
  // object leaves the run a valid (if no longer reachable) list.
  std::shared_ptr<EventSinks> sinks = std::make_shared<EventSinks>();
};

std::u16string DefaultCustomDictionaryPath() {
  return platform::CustomDictionaryDirectory() + platform::PathSeparator() + kCustomDictionaryFile;
}

SpellCheck::SpellCheck() : object_(std::make_unique<Object>()) {
  ThisThread();  // the thread's dictionaries and dialog exist from the first engine object on
}

SpellCheck::~SpellCheck() = default;

void SpellCheck::Init(std::u16string_view, std::u16string_view, bool) {
  ThisThread().dictionaries.tables.Load();
}

bool SpellCheck::CheckWord(std::u16string_view sWord, bool bCheckCustom) const {
  return IsAcceptedWord(ThisThread().dictionaries, sWord, bCheckCustom);
}

std::int32_t SpellCheck::GetSuggestions(std::u16string_view sWord,
                                        std::vector<std::u16string>& SuggOut,
                                        bool bCheckCustom) const {
  return SpellerFor(object_->SimilarityThreshold).GetSuggestions(sWord, SuggOut, bCheckCustom);
}

float SpellCheck::SuggestionSimilarity() const {
  return object_->SimilarityThreshold;
}

void SpellCheck::SetSuggestionSimilarity(float fPercentage) {
  object_->SimilarityThreshold = ClampedThreshold(fPercentage, object_->SimilarityThreshold);
}

void SpellCheck::AddToCustom(std::u16string_view sWord) {
  ThisThread().dictionaries.custom.Add(sWord);
}

void SpellCheck::SaveCustom(std::u16string_view sFile) {
  // The default file's folder is the user's configuration folder, which may not exist yet; a
  // file the host names is written where it says, or not at all.
  if (sFile.empty()) platform::CreateDirectories(platform::CustomDictionaryDirectory());
  ThisThread().dictionaries.custom.Save(OrDefaultPath(sFile));
}

bool SpellCheck::LoadCustom(std::u16string_view sFile) {
  try {
    ThisThread().dictionaries.custom.Load(OrDefaultPath(sFile));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void SpellCheck::CheckText(std::u16string_view sText, bool ShowDialog) {
  if (sText.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw Error(kErrorTextTooLong,
                "cannot check a text of " + std::to_string(sText.size()) +
                    " UTF-16 code units: positions are 32-bit, so a text must be shorter than "
                    "2^31 units (check it in pieces)");
  }
  const std::shared_ptr<const EventSinks> sinks = object_->sinks;
  ThreadTextCheckHost host(ThisThread());
  RunTextCheck(sText, ShowDialog, *sinks, host);
}

std::u16string SpellCheck::ReplaceWord(std::u16string_view Text, std::u16string_view Find,
                                       std::u16string_view Replace) const {
  return ReplaceWholeWords(Text, Find, Replace);
}

std::optional<std::u16string> SpellCheck::ShowSuggestionDialog(std::u16string_view sWord,
                                                               bool* bChangeAll, bool* bIgnoreAll) {
  return ThisThread().dialog_operations.ShowSuggestionDialog(sWord, bChangeAll, bIgnoreAll);
}

void SpellCheck::DisableButtons(std::int32_t Buttons, std::int32_t Mode) {
  ThisThread().dialog_operations.DisableButtons(Buttons, Mode);
}

void SpellCheck::Advise(SpellCheckEvents* sink) {
  object_->sinks->Advise(sink);
}

void SpellCheck::Unadvise(SpellCheckEvents* sink) {
  object_->sinks->Unadvise(sink);
}

}  // namespace lexivane

#include "frontend/pipeline/prepared_checker.h"

#include <utility>

#include "frontend/io/command_error.h"

namespace lexivane::frontend {

PreparedChecker::PreparedChecker(const CheckerSetup& setup, Warn warn)
    : file_(setup.custom_file, setup.missing),
      uses_file_(setup.uses_custom_file),
      warn_(std::move(warn)),
      session_(engine_, setup.max_suggestions, setup.rules, setup.ranking, uses_file_,
               setup.shared_suggestions),
      checker_(session_) {
  engine_.Init();
  session_.UseVariant(setup.variant);
  if (setup.suggestion_threshold) engine_.SetSuggestionSimilarity(*setup.suggestion_threshold);
  // Looked at before it is read: a change made while it is read shows at the next look.
  if (uses_file_) Load(file_.Stamp());
}

bool PreparedChecker::Load(std::optional<FileStamp> now) {
  stamp_ = now;
  AcceptedNames names;
  try {
    if (!file_.LoadInto(engine_, &names)) return false;
  } catch (const CommandError& error) {
    if (!warn_) throw;
    warn_(std::string(error.what()) +
          (loaded_file_ ? "; checking with the words read before" : "; checking without it"));
    return false;
  }
  loaded_file_ = file_.path();
  // The file's words replaced the thread's custom dictionary, the session's among them.
  for (const std::u16string& word : session_.added_words()) engine_.AddToCustom(word);
  session_.AcceptNames(std::move(names));
  return true;
}

bool PreparedChecker::CatchUpWithCustomFile() {
  if (!uses_file_) return false;
  const std::optional<FileStamp> now = file_.Stamp();
  if (now == stamp_ || !now) return false;
  return Load(now);
}

}  // namespace lexivane::frontend

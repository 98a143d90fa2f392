#include "textcheck/text_check_run.h"

#include <optional>
#include <string>
#include <unordered_set>

#include "lexivane/events.h"
#include "platform/text.h"
#include "textcheck/event_sinks.h"
#include "textcheck/replace_word.h"
#include "textcheck/word_scanner.h"

namespace lexivane {

namespace {

// Words this run no longer checks (Ignore All, and both sides of a Change All), compared
// without regard to letter case.
class SkipList {
 public:
  void Add(std::u16string_view word) { words_.insert(platform::ToLower(word)); }
  bool Contains(std::u16string_view word) const {
    return !words_.empty() && words_.contains(platform::ToLower(word));
  }

 private:
  std::unordered_set<std::u16string> words_;
};

std::int32_t Length(std::u16string_view text) {
  return static_cast<std::int32_t>(text.size());
}

}  // namespace

void RunTextCheck(std::u16string_view text, bool show_dialog, const EventSinks& sinks,
                  TextCheckHost& host) {
  std::u16string working(text);
  std::int32_t position = 1;
  std::int32_t token_count = 0;
  SkipList skip_list;
  std::u16string token;
  // The user's answer for the current token: an empty text when no dialog was shown, no text
  // for Cancel.
  TextCheckHost::Answer answer{std::u16string()};
  bool cancel = false;  // the host's; never reset by the run
  std::vector<std::u16string> suggestions;

  bool host_code_ran = true;  // the host has just called
  const auto raise = [&](auto&& event) { host_code_ran = sinks.Raise(event) || host_code_ran; };

  std::int32_t end = FindNextDelimiter(1, working);
  if (end == -1) return;  // an empty text raises no event at all
  for (;;) {
    if (end == -1) {
      raise([&](SpellCheckEvents& sink) { sink.SpellCheckComplete(token_count); });
      return;
    }
    ++token_count;
    token.assign(working, position - 1, end - position);
    raise([&](SpellCheckEvents& sink) {
      sink.SpellCheckProgress(position - 1, Length(working), token_count);
    });

    if (!skip_list.Contains(token) && !host.CheckWord(token)) {
      raise([&](SpellCheckEvents& sink) { sink.SpellWordNotInDic(token, position - 1, cancel); });
      if (cancel) {
        raise([](SpellCheckEvents& sink) { sink.SpellCheckCancel(); });
        return;
      }
      if (show_dialog) {
        answer = host.AskUser(token);
        host_code_ran = true;
        if (answer.change_all || answer.ignore_all) skip_list.Add(token);
        if (answer.change_all) {
          const std::u16string& replacement = *answer.text;
          skip_list.Add(replacement);
          // Everything up to and including the delimiter after the token is the left part, so
          // that the position can move by exactly the change in its length.
          const std::size_t split =
              std::min(working.size(), static_cast<std::size_t>(position - 1) + token.size() + 1);
          const std::u16string_view left = std::u16string_view(working).substr(0, split);
          const std::u16string_view right = std::u16string_view(working).substr(split);
          std::u16string new_left = ReplaceWholeWords(left, token, replacement);
          std::u16string new_right = ReplaceWholeWords(right, token, replacement);
          raise([&](SpellCheckEvents& sink) {
            sink.SpellChangeAll(token, replacement, position - 1);
          });
          position += Length(new_left) - Length(left);
          working = std::move(new_left) + new_right;
        }
      }
    }
    if (!answer.text) {
      raise([](SpellCheckEvents& sink) { sink.SpellCheckCancel(); });
      return;
    }
    host.Yield(host_code_ran);
    host_code_ran = false;
    const std::u16string& text = *answer.text;
    if (text.size() >= 2 && text != token && !answer.change_all) {
      raise([&](SpellCheckEvents& sink) {
        sink.SpellReplace(token, text, position - 1, suggestions);
      });
    }
    answer.text->clear();
    position += Length(token) + 1;
    end = FindNextDelimiter(position, working);
  }
}

}  // namespace lexivane

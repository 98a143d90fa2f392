#include "lsp/workspace.h"
#include "support/ascii.h"

#include <algorithm>

#include "frontend/pipeline/document_checker.h"

namespace lexivane::frontend::lsp {

Workspace::Workspace(Clock::duration quiet_time) : quiet_time_(quiet_time) {}

void Workspace::Open(const std::string& uri, std::int64_t version, std::u16string text,
                     DocumentMode mode) {
  std::lock_guard lock(mutex_);
  Entry& entry = documents_[uri];
  entry = Entry{};
  entry.document = TextDocument(std::move(text));
  entry.mode = mode;
  entry.version = version;
  entry.opening = ++openings_;
  entry.changed_at = Clock::now() - quiet_time_;  // a new document is checked at once
  changed_.notify_all();
}

bool Workspace::Change(const std::string& uri, std::int64_t version,
                       const std::vector<TextChange>& changes) {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  Entry& entry = found->second;
  for (const TextChange& change : changes) {
    Edit edit{0, entry.document.text().size(), change.text.size()};
    if (change.range) {
      edit.start = entry.document.OffsetOf(change.range->first);
      edit.old_end = std::max(edit.start, entry.document.OffsetOf(change.range->second));
    }
    entry.document.Replace(edit.start, edit.old_end, change.text);
    Shift(entry.misspellings, edit);
    if (entry.being_checked) entry.edits_while_checked.push_back(edit);
  }
  entry.version = version;
  entry.prose.reset();
  entry.directives.reset();
  entry.dirty = true;
  entry.stored_current = false;
  entry.changed_at = Clock::now();
  changed_.notify_all();
  return true;
}

void Workspace::Close(const std::string& uri, const std::function<void()>& closed) {
  std::lock_guard lock(mutex_);
  if (documents_.erase(uri) != 0) closed();
}

void Workspace::CheckAgain(const std::string& uri) {
  std::lock_guard lock(mutex_);
  if (const auto found = documents_.find(uri); found != documents_.end()) {
    found->second.dirty = true;
    found->second.changed_at = Clock::now() - quiet_time_;
    changed_.notify_all();
  }
}

void Workspace::CheckAllAgain() {
  std::lock_guard lock(mutex_);
  for (auto& [uri, entry] : documents_) {
    entry.dirty = true;
    entry.changed_at = Clock::now() - quiet_time_;
  }
  changed_.notify_all();
}

std::optional<std::int64_t> Workspace::VersionOf(const std::string& uri) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return std::nullopt;
  return found->second.version;
}

std::optional<DocumentMode> Workspace::ModeOf(const std::string& uri) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return std::nullopt;
  return found->second.mode;
}

bool Workspace::VisitMisspellings(
    const std::string& uri, TextPosition start, TextPosition end,
    const std::function<void(const PlacedMisspelling&)>& visit) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  const Entry& entry = found->second;
  const std::size_t from = entry.document.OffsetOf(start);
  const std::size_t to = std::max(from, entry.document.OffsetOf(end));
  // The first misspelling that ends at or after `from`; they are in order and never overlap.
  auto it = std::lower_bound(
      entry.misspellings.begin(), entry.misspellings.end(), from,
      [](const Misspelling& m, std::size_t offset) { return m.offset + m.length < offset; });
  for (; it != entry.misspellings.end() && it->offset <= to; ++it) {
    visit({entry.document.PositionOf(it->offset),
           entry.document.PositionOf(it->offset + it->length), &*it});
  }
  return true;
}

std::optional<Workspace::TextPiece> Workspace::UncheckedPiece(const std::string& uri,
                                                              TextPosition start, TextPosition end,
                                                              bool check_identifiers) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end() || found->second.stored_current) return std::nullopt;
  const TextDocument& document = found->second.document;
  const std::size_t from = document.OffsetOf(start);
  const std::size_t to = std::max(from, document.OffsetOf(end));
  if (to - from > kLongestUncheckedRange) return std::nullopt;
  const Entry& entry = found->second;
  const CodeIdentifiers identifiers = CodeIdentifiersIn(entry.mode, check_identifiers);
  if (!entry.prose || entry.prose_identifiers != identifiers) {
    std::u16string prose;
    entry.prose.reset();
    if (FilterProse({uri, entry.mode, identifiers}, document.text(), prose)) {
      entry.prose = std::move(prose);
      entry.prose_identifiers = identifiers;
    }
  }
  if (!entry.directives) {
    auto directives = std::make_shared<InlineDirectives>();
    directives->Read(document.text());
    entry.directives = std::move(directives);
  }
  const std::u16string& text = entry.prose ? *entry.prose : document.text();
  const auto blank = [&](std::size_t i) { return support::IsAsciiSpace(text[i]); };
  // The blank itself starts the piece: a combining mark after it belongs to it, as it does
  // when the whole text is cut.
  std::size_t begin = from;
  while (begin > 0 && from - begin < kStretchReach && !blank(begin - 1)) --begin;
  const bool cut_before = begin > 0 && !blank(begin - 1);
  if (begin > 0 && !cut_before) --begin;
  std::size_t stop = to;
  while (stop < text.size() && stop - to < kStretchReach && !blank(stop)) ++stop;
  const bool cut_after = stop < text.size() && !blank(stop);
  return TextPiece{text.substr(begin, stop - begin),
                   document.PositionOf(begin),
                   cut_before,
                   cut_after,
                   identifiers,
                   entry.directives,
                   begin};
}

std::optional<Workspace::Snapshot> Workspace::NextToCheck(const std::function<bool()>& stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stop()) return std::nullopt;
    // The document waiting longest whose changes have come to rest.
    Entry* next = nullptr;
    const std::string* next_uri = nullptr;
    for (auto& [uri, entry] : documents_) {
      if (entry.dirty && (next == nullptr || entry.changed_at < next->changed_at)) {
        next = &entry;
        next_uri = &uri;
      }
    }
    if (next == nullptr) {
      changed_.wait(lock);
      continue;
    }
    const Clock::time_point ready = next->changed_at + quiet_time_;
    if (Clock::now() < ready) {
      changed_.wait_until(lock, ready);
      continue;
    }
    next->dirty = false;
    next->being_checked = true;
    next->edits_while_checked.clear();
    return Snapshot{*next_uri,  next->version, next->opening,          next->document,
                    next->mode, next->prose,   next->prose_identifiers};
  }
}

void Workspace::Store(const Snapshot& checked, std::vector<Misspelling> found,
                      const Publisher& publish) {
  std::lock_guard lock(mutex_);
  const auto it = documents_.find(checked.uri);
  if (it == documents_.end() || it->second.opening != checked.opening) return;
  Entry& entry = it->second;
  publish(checked, found);  // where they were found, with the version they were found in
  for (const Edit& edit : entry.edits_while_checked) Shift(found, edit);
  entry.stored_current = entry.edits_while_checked.empty() && !entry.dirty;
  if (entry.stored_current) entry.prose.reset();  // no code action needs it until a change
  entry.edits_while_checked.clear();
  entry.being_checked = false;
  entry.misspellings = std::move(found);
}

void Workspace::Wake() {
  std::lock_guard lock(mutex_);
  changed_.notify_all();
}

void Workspace::Shift(std::vector<Misspelling>& misspellings, const Edit& edit) {
  // A word the edit touches (even at its first or last character's edge) has changed.
  std::erase_if(misspellings, [&](const Misspelling& m) {
    return edit.start <= m.offset + m.length && edit.old_end >= m.offset;
  });
  for (Misspelling& m : misspellings) {
    if (m.offset > edit.old_end) m.offset = m.offset - edit.old_end + edit.start + edit.new_length;
  }
}

}  // namespace lexivane::frontend::lsp

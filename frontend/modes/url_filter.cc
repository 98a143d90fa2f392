// Addresses in running text: URLs, e-mail addresses, host names and file paths. None of them is
// prose, and the word rule would cut each into pieces that are mostly not words ("https",
// "usr", "config"), so each is hidden whole.
//
// An address may only start where no address runs through: at the start of the text or after a
// character that cannot stand inside one (a blank, a quote, a bracket, `=`, `,`...). The first
// guess at an address reads a run of characters that never end one (letters, digits, `_-.+%/`),
// so a guess that fails has read a stretch in which no other address may start: the walk stays
// linear however the text is made.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

// Blanks, quotes and guillemets outside ASCII: they end an address as an ASCII blank does.
bool IsWideBlankOrQuote(char16_t c) {
  return c == u'\u00a0' || c == u'\u00ab' || c == u'\u00bb' || (c >= u'\u2000' && c <= u'\u200b') ||
         (c >= u'\u2018' && c <= u'\u201f') || c == u'\u2028' || c == u'\u2029' || c == u'\u2039' ||
         c == u'\u203a' || c == u'\u3000' || c == u'\ufeff';
}

// May stand inside an address after its start (its tail): not a blank, nor a quote or angle
// bracket, which are what people put around addresses.
bool IsTailCharacter(char16_t c) {
  if (c < 0x80) {
    return c > u' ' && c != 0x7f && c != u'"' && c != u'\'' && c != u'<' && c != u'>' && c != u'`';
  }
  return !IsWideBlankOrQuote(c) && c != kWordJoiner;
}

// What each ASCII character is to an address, looked up once per character of the walk.
enum AsciiRole : unsigned char {
  kRun = 1,   // read by the first guess: never ends an address (letters, digits, `_-.+%/`)
  kJoin = 2,  // no address starts right after it: it may stand inside one
};

constexpr std::array<unsigned char, 128> kAsciiRoles = [] {
  std::array<unsigned char, 128> roles{};
  for (char16_t c = 0; c < 128; ++c) {
    const bool alnum =
        (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    if (alnum || c == u'_' || c == u'-' || c == u'.' || c == u'+' || c == u'%' || c == u'/') {
      roles[c] = kRun | kJoin;
    } else if (c == u'@' || c == u'~' || c == u'\\' || c == u':') {
      roles[c] = kJoin;
    }
  }
  return roles;
}();

bool IsRunCharacter(char16_t c) {
  return c < 0x80 && (kAsciiRoles[c] & kRun) != 0;
}

bool JoinsAddress(char16_t c) {
  if (c >= 0x80) return !IsWideBlankOrQuote(c);
  return (kAsciiRoles[c] & kJoin) != 0;
}

// Neither read by a guess nor joining an address: no run or address is ever read across it.
bool SeparatesAddresses(char16_t c) {
  return c < 0x80 ? kAsciiRoles[c] == 0 : IsWideBlankOrQuote(c);
}

// Endings that make a dotted name an address: top-level domains people write host names
// with, and the extensions of files they name in prose.
constexpr std::string_view kAddressEndings[] = {
    // domains
    "com", "org", "net", "edu", "gov", "io", "dev", "info", "app", "eu", "uk", "de", "fr", "ch",
    "nl", "se", "jp", "cn", "ru", "us", "ca", "au", "es",
    // files
    "c", "h", "cc", "cpp", "cxx", "hh", "hpp", "hxx", "py", "pyi", "js", "mjs", "ts", "tsx", "jsx",
    "rs", "go", "java", "kt", "cs", "rb", "pl", "pm", "sh", "bash", "md", "txt", "rst", "json",
    "yaml", "yml", "toml", "ini", "cfg", "conf", "xml", "html", "htm", "css", "svg", "png", "jpg",
    "gif", "pdf", "gz", "xz", "bz2", "zip", "tar", "tgz", "deb", "rpm", "dll", "exe", "cmake", "mk",
    "log", "lock", "patch", "diff", "csv", "tex", "el", "lua"};

bool IsAddressEnding(std::u16string_view label) {
  return std::any_of(
      std::begin(kAddressEndings), std::end(kAddressEndings),
      [&](std::string_view ending) { return support::EqualsIgnoringAsciiCase(label, ending); });
}

// A name of labels joined by single dots ("docs.example.org", "modes.md") whose last label is
// an address ending.
bool IsDottedAddress(std::u16string_view name) {
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == name.size()) return false;
  for (std::size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == u'.' && name[i + 1] == u'.') return false;
  }
  if (name.front() == u'.' || name.front() == u'-') return false;
  return IsAddressEnding(name.substr(dot + 1));
}

// Extends an address from `end` over its tail, then gives back what closes the sentence around
// it: `.,;:!?` and a bracket that the address did not open.
std::size_t AddressEnd(std::u16string_view text, std::size_t start, std::size_t end) {
  while (end < text.size() && IsTailCharacter(text[end])) ++end;
  // How many of each bracket the address holds, counted once when one may be given back.
  constexpr std::u16string_view kBrackets = u"()[]{}";
  std::array<std::size_t, kBrackets.size()> brackets{};
  bool counted = false;
  while (end > start) {
    const char16_t last = text[end - 1];
    if (last == u'.' || last == u',' || last == u';' || last == u':' || last == u'!' ||
        last == u'?') {
      --end;
      continue;
    }
    const std::size_t closing = kBrackets.find(last);
    if (closing == std::u16string_view::npos || closing % 2 == 0) break;
    if (!counted) {
      for (const char16_t c : text.substr(start, end - start)) {
        if (const std::size_t k = kBrackets.find(c); k != std::u16string_view::npos) ++brackets[k];
      }
      counted = true;
    }
    if (brackets[closing - 1] >= brackets[closing]) break;
    --brackets[closing];
    --end;
  }
  return end;
}

// The end of the address that starts at `start`, or `start` when none does. `run_end` gets the
// end of the run read, past which the caller goes on when no address was found.
std::size_t AddressAt(std::u16string_view text, std::size_t start, std::size_t& run_end) {
  const std::size_t n = text.size();
  std::size_t run = start;
  bool punctuated = false;  // a `.` or `/` in the run
  while (run < n && IsRunCharacter(text[run])) {
    punctuated = punctuated || text[run] == u'.' || text[run] == u'/';
    ++run;
  }
  run_end = std::max(run, start + 1);
  const std::u16string_view head = text.substr(start, run - start);
  const char16_t first = text[start];
  const auto next_is = [&](std::u16string_view what) {
    return text.substr(run, what.size()) == what;
  };

  if (first == u'~') {  // ~/x, ~user/x
    std::size_t i = start + 1;
    while (i < n && (IsAsciiAlnum(text[i]) || text[i] == u'_' || text[i] == u'-')) ++i;
    if (i < n && text[i] == u'/') return AddressEnd(text, start, i + 1);
    return start;
  }
  if (head.empty()) return start;
  // Every address below has a dot or a slash in its run, or a `:` or `@` right after it: most
  // runs are words, which end here.
  if (!punctuated && (run == n || (text[run] != u':' && text[run] != u'@'))) return start;
  if (first == u'/') {  // /usr/share/doc
    if (head.size() > 1 && head[1] != u'/' && head[1] != u'.' && head[1] != u'-') {
      return AddressEnd(text, start, run);
    }
    if (head.size() > 1 && head[1] == u'.' && head.size() > 2 && IsAsciiAlnum(head[2])) {
      return AddressEnd(text, start, run);  // /.config
    }
    return start;
  }
  if (head.substr(0, 2) == u"./"sv || head.substr(0, 3) == u"../"sv) {
    return AddressEnd(text, start, run);
  }
  if (head.size() == 1 && IsAsciiLetter(first) &&
      (next_is(u":\\") || (next_is(u":/") && !next_is(u"://")))) {
    return AddressEnd(text, start, run + 2);  // C:\Users
  }
  const bool has_slash = head.find(u'/') != std::u16string_view::npos;
  if (!has_slash && IsAsciiLetter(first)) {
    if (next_is(u"://")) return AddressEnd(text, start, run + 3);
    if (support::EqualsIgnoringAsciiCase(head, "mailto") && next_is(u":"))
      return AddressEnd(text, start, run + 1);
  }
  if (!has_slash && run < n && text[run] == u'@') {  // user@example.org
    std::size_t domain_end = run + 1;
    while (domain_end < n && (IsAsciiAlnum(text[domain_end]) || text[domain_end] == u'-' ||
                              text[domain_end] == u'.')) {
      ++domain_end;
    }
    while (domain_end > run + 1 && text[domain_end - 1] == u'.') --domain_end;
    const std::u16string_view domain = text.substr(run + 1, domain_end - run - 1);
    const std::size_t dot = domain.find(u'.');
    if (dot != std::u16string_view::npos && dot > 0 && dot + 1 < domain.size()) {
      run_end = domain_end;
      return domain_end;
    }
    return start;
  }
  if (head.size() > 4 && support::EqualsIgnoringAsciiCase(head.substr(0, 4), "www.") &&
      IsAsciiAlnum(head[4])) {
    return AddressEnd(text, start, run);
  }
  // A host name ("example.org/about"), or a file in a folder or alone ("docs/modes.md").
  std::size_t name_end = run;
  while (name_end > start && text[name_end - 1] == u'.') --name_end;
  const std::u16string_view name = text.substr(start, name_end - start);
  const std::size_t host_end = name.find(u'/');
  if (host_end == std::u16string_view::npos) {
    if (IsDottedAddress(name)) return AddressEnd(text, start, run);
    return start;
  }
  if (IsDottedAddress(name.substr(0, host_end)) ||
      IsDottedAddress(name.substr(name.rfind(u'/') + 1))) {
    return AddressEnd(text, start, run);
  }
  return start;
}

// Calls found(start, end) for each address of `part`, in order.
template <typename Found>
void ForEachAddress(std::u16string_view part, Found found) {
  const std::size_t n = part.size();
  std::size_t i = 0;
  std::size_t trigger_end = 0;  // the walk reads on char by char up to here
  while (i < n) {
    if (i >= trigger_end) {
      // Every address holds one of these (its run has a dot or a slash, or a `:` or `@` follows
      // it, or it starts with `~`), so up to the next one the walk would find none. It goes on
      // from the last separator before it, where it would have stood too. A dot that no run
      // character follows (a sentence's end) makes no address: it ends the run it stands in.
      std::size_t trigger = FindAnyOf(part, i, u'.', u'/', u':', u'@', u'~');
      while (trigger + 1 < n && part[trigger] == u'.' && !IsRunCharacter(part[trigger + 1])) {
        trigger = FindAnyOf(part, trigger + 1, u'.', u'/', u':', u'@', u'~');
      }
      if (trigger >= n || (part[trigger] == u'.' && trigger + 1 == n)) break;
      std::size_t from = trigger;
      while (from > i && !SeparatesAddresses(part[from - 1])) --from;
      i = from;
      trigger_end = trigger + 1;
    }
    const char16_t c = part[i];
    if ((c != u'~' && !IsRunCharacter(c)) || (i > 0 && JoinsAddress(part[i - 1]))) {
      ++i;
      continue;
    }
    std::size_t run_end = i + 1;
    const std::size_t address_end = AddressAt(part, i, run_end);
    if (address_end > i) {
      found(i, address_end);
      i = address_end;
    } else {
      i = run_end;
    }
  }
}

}  // namespace

void HideUrls(std::u16string& text, std::size_t begin, std::size_t end) {
  const std::u16string_view part = std::u16string_view(text).substr(begin, end - begin);
  ForEachAddress(part, [&](std::size_t start, std::size_t stop) {
    TextCursor(text).Hide(begin + start, begin + stop);
  });
}

void HideUrls(std::u16string& text) {
  HideUrls(text, 0, text.size());
}

namespace filter {

void AddressReading::UnitForUnit(std::size_t from, std::size_t to) {
  if (!pieces_.empty() && pieces_.back().unit_for_unit &&
      pieces_.back().written + pieces_.back().written_length == from) {
    pieces_.back().written_length += to - from;
  } else {
    pieces_.push_back({read_.size(), from, to - from, true});
  }
}

void AddressReading::Verbatim(std::size_t from, std::size_t to, const AsciiSet* separators) {
  // What is held is read once it is long, at a line break, which no address runs over: the
  // copy stays small, however long the text.
  constexpr std::size_t kHeld = 1 << 14;
  while (from < to) {
    std::size_t stop = to;
    if (read_.size() + (to - from) > kHeld) {
      stop = std::min(to, FindAnyOf(std::u16string_view(text_).substr(0, to), from, u'\n') + 1);
    }
    UnitForUnit(from, stop);
    const std::size_t start = read_.size();
    read_.append(text_, from, stop - from);
    for (std::size_t k = start; separators != nullptr && k < read_.size(); ++k) {
      if (separators->Has(read_[k])) read_[k] = u' ';
    }
    if (stop > from && text_[stop - 1] == u'\n') HideAddresses();
    from = stop;
  }
}

void AddressReading::Escape(std::size_t from, std::size_t to, char16_t reads_as) {
  // Blanks as long as the escape end an address as one blank would, and a one-unit escape read
  // as one unit keeps the units in step: neither needs a piece of its own, and most escapes are
  // one or the other.
  if (reads_as == u' ' || (reads_as != 0 && to == from + 1)) {
    UnitForUnit(from, to);
    read_.append(to - from, reads_as);
    return;
  }
  pieces_.push_back({read_.size(), from, to - from, false});
  if (reads_as != 0) read_ += reads_as;
}

void AddressReading::HideAddresses() {
  // The addresses come in order, so one cursor over the pieces finds where each is written.
  std::size_t piece = 0;
  const auto piece_of = [&](std::size_t read) {  // the piece that `read` is read from
    while (piece + 1 < pieces_.size() && pieces_[piece + 1].read <= read) ++piece;
    return pieces_[piece];
  };
  ForEachAddress(read_, [&](std::size_t start, std::size_t stop) {
    const Piece first = piece_of(start);
    const std::size_t from = first.written + (first.unit_for_unit ? start - first.read : 0);
    const Piece last = piece_of(stop - 1);
    const std::size_t to =
        last.unit_for_unit ? last.written + (stop - last.read) : last.written + last.written_length;
    TextCursor(text_).Hide(from, to);
  });
  read_.clear();
  pieces_.clear();
}

}  // namespace filter

}  // namespace lexivane::frontend

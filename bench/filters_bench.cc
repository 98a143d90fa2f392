// The document filters on hostile texts: each pattern (one of the constructs a filter knows,
// closed or left open) repeated up to 64 KB, 256 KB and 1 MB and run through HideNonProse, all on
// one line and, for comparison, with a line break after each repetition. A filter is linear when
// each 4x step of the text costs about 4x; a search that runs to the end of the line (or of the
// text) once per construct costs 16x.
//
// After Google Benchmark's own table the program prints, per pattern and layout, the CPU time
// of each size (the least over the repetitions, which a shared machine disturbs least) and the
// ratio of each 4x step, and exits with 1 when a ratio exceeds kMaxStepRatio.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "frontend/modes/document_modes.h"

namespace lexivane::bench {
namespace {

using frontend::CodeIdentifiers;
using frontend::DocumentMode;

constexpr double kMaxStepRatio = 5.0;
constexpr std::size_t kSizes[] = {64 * 1024, 256 * 1024, 1024 * 1024};

struct Pattern {
  std::string_view mode;  // a name of ModeNames()
  std::string_view name;
  std::string_view prefix;     // once, before the repetitions (a comment or string to be in)
  std::string_view unit;       // repeated
  std::string_view tail = {};  // when given, repeated over the second half of the text
};

// Every opener each filter knows, closed and unclosed, and the things it hides.
constexpr Pattern kPatterns[] = {
    {"none", "words", "", "a b "},
    {"url", "addresses", "", "https://a.example.org/x a@b.org /usr/a ./x ~/x C:\\x www.a.org "},
    {"url", "triggers", "", ". / : @ ~ "},
    {"url", "unfinished", "", "a@b a.b ~a a: http:"},
    {"url", "glued_triggers", "", "a.b/c@d:e~f"},
    {"url", "closing_brackets", "http://a.org/", ")"},
    {"url", "closing_punctuation", "http://a.org/", ".)]"},
    {"markdown", "link_openers", "", "[a]("},
    {"markdown", "link_openers_then_blanks", "", "[a](", " "},
    {"markdown", "nested_link_openers", "", "[a](()"},
    {"markdown", "links", "", "[a](b) "},
    {"markdown", "link_titles", "", "[a](b \"c\") "},
    {"markdown", "unclosed_titles", "", "[a](b \"c "},
    {"markdown", "title_openers_then_text", "", "[a](b \"", "c"},
    {"markdown", "references", "", "[a][b] "},
    {"markdown", "open_brackets", "", "[ ] ]( ][ [^ "},
    {"markdown", "footnote_openers", "", "[^"},
    {"markdown", "angle_targets", "", "[a](<b "},
    {"markdown", "code_spans", "", "`a` "},
    {"markdown", "backticks", "", "`` ` ``` "},
    {"markdown", "emphasis", "", "*a* _b_ ~~c~~ \\* "},
    {"markdown", "lone_angles", "", "< <a <a b=\"c </a "},
    {"markdown", "tag_openers_then_text", "", "<a b=\"", "c"},
    {"markdown", "inline_html", "", "<b>a</b> "},
    {"markdown", "autolinks", "", "<https://a.org> <a@b.org> "},
    {"markdown", "html_openers", "", "<!-- <? <!a <![CDATA[ "},
    {"markdown", "declaration_brackets", "", "<![a "},
    {"markdown", "declaration_quotes", "", "<!a \" "},
    {"markdown", "references_and_entities", "", "&amp; & &# &a "},
    {"markdown", "bare_addresses", "", "http://a.org/b www.a.org "},
    {"markdown", "address_brackets", "http://a.org/", ")"},
    {"markdown", "quote_markers", "", "> "},
    {"markdown", "list_markers", "", "- "},
    {"markdown", "tables", "", "| a "},
    {"html", "tags", "", "<a href=\"b\" title=\"c\">d</a> "},
    {"html", "unclosed_tags", "", "<a "},
    {"html", "lone_angles", "", "< "},
    {"html", "end_tags", "", "</a "},
    {"html", "comments", "", "<!-- a --> "},
    {"html", "unclosed_comments", "", "<!-- "},
    {"html", "declarations", "", "<!DOCTYPE a [ <!ENTITY b \"c\"> ]> "},
    {"html", "instructions", "", "<?a ?> <? "},
    {"html", "cdata", "", "<![CDATA[ "},
    {"html", "attribute_quotes", "<a b=\"", "c \" d=' "},
    {"html", "references", "", "&amp; &eacute; &#233; &#xE9; & &a &# "},
    {"html", "scripts", "", "<script>a</script> "},
    {"html", "unclosed_scripts", "", "<script> "},
    {"html", "code", "", "<code>a<b></code> "},
    {"html", "code_angles", "<code>", "< "},
    {"html", "addresses", "", "https://a.org/b a@b.org "},
    {"xml", "tags", "", "<a b=\"c\">d</a> <e/> "},
    {"xml", "instructions", "", "<?a b?> <? "},
    {"tex", "commands", "", "\\a \\b{c} \\d[e]{f} "},
    {"tex", "groups", "", "{a} { } "},
    {"tex", "environments", "", "\\begin{a}b\\end{a} "},
    {"tex", "unclosed_begins", "", "\\begin{"},
    {"tex", "math_environments", "", "\\begin{equation}a "},
    {"tex", "math", "", "$a$ $$b$$ \\(c\\) \\[d\\] "},
    {"tex", "dollars", "", "$"},
    {"tex", "math_openers", "", "\\( "},
    {"tex", "comments", "", "% a"},
    {"tex", "hidden_arguments", "", "\\ref{a} \\label[b]{c} "},
    {"tex", "unclosed_arguments", "", "\\ref{ \\ref[ "},
    {"tex", "verbatim", "", "\\verb|a| \\verb|"},
    {"tex", "definitions", "", "\\def\\a{b} \\newcommand{\\c}{d} "},
    {"tex", "unclosed_definitions", "", "\\newcommand{\\a}{"},
    {"tex", "bare_definitions", "", "\\def"},
    {"tex", "parameters", "\\newcommand{\\a}{", "#1 a_{b} ^c "},
    {"tex", "accents", "", "\\'e {\\\"u} \\ss{} \\c c "},
    {"tex", "accent_openers_then_blanks", "", "\\c", " "},
    {"tex", "assignments", "", "\\hsize=1pt \\parskip 5pt plus 1pt "},
    {"tex", "symbols", "", "~ & ` '' -- \\\\ \\- \\_ "},
    {"nroff", "font_escapes", "", "\\fBa\\fR \\f[B]a "},
    {"nroff", "named_characters", "", "\\(aq \\[u00E9] \\[char65] \\C'aq' \\N'65' "},
    {"nroff", "unclosed_names", "", "\\["},
    {"nroff", "delimited", "", "\\w'a' \\h'1' \\s'2' \\s+1 "},
    {"nroff", "unclosed_delimited", "", "\\w'"},
    {"nroff", "marks", "", "a\\%b \\& \\\" "},
    {"nroff", "request_arguments", ".B ", "\"a\" b "},
    {"nroff", "mdoc", ".It ", "Fl a Ar b Em c \"d "},
    {"nroff", "table_blocks", "", "T{ a T} "},
    {"ccpp", "block_comments", "", "/* a */ "},
    {"ccpp", "lone_block_comment", "", "/*"},
    {"ccpp", "line_comments", "", "// a "},
    {"ccpp", "strings", "", "\"a\" "},
    {"ccpp", "lone_quotes", "", "\""},
    {"ccpp", "characters", "", "'a' 'b "},
    {"ccpp", "escaped_quotes", "'", "\\' "},
    {"ccpp", "lifetimes", "", "&'a 'b: x'c "},
    {"ccpp", "quote_openers_then_code", "", "' ", "a"},
    {"ccpp", "template_literals", "", "`a ${b}` "},
    {"ccpp", "raw_strings", "", "r\"a\" r#\"b\"# R\"x(c)x\" @\"d\" \"\"\"e\"\"\" "},
    {"ccpp", "placeholders", "", "\"%d {0} %(a)s \\n \\x41 \\u{1F600}\" "},
    {"ccpp", "doc_tags", "", "/** @param a {@link B} `c` \\brief d */ "},
    {"ccpp", "unclosed_doc_links", "/* ", "{@x "},
    {"ccpp", "unclosed_doc_tags", "/* ", "@param[ @param { "},
    {"ccpp", "comment_backticks", "", "/* `a` */ "},
    {"ccpp", "backtick_runs", "/* ", "`` ` "},
    {"ccpp", "comment_addresses", "", "/* https://a.org/b a@b.org */ "},
    {"ccpp", "code_words", "/* ", "a_b c() d.e f::g h->i "},
    {"ccpp", "includes", "", "#include \"a\""},
    {"ccpp", "code", "", "int a = b(c, d); "},
    {"comment", "comments", "", "# a "},
    {"comment", "bracket_comments", "", "#[[a]] "},
    {"comment", "level_bracket_comments", "", "#[=[a]=] "},
    {"comment", "strings", "", "\"a\" 'b' "},
    {"comment", "escaped_quotes", "\"", "\\\" "},
    {"comment", "code", "", "a = b(c) "},
    {"shell", "comments", "", "# a "},
    {"shell", "strings", "", "\"a\" 'b' $'c' $\"d\" "},
    {"shell", "expansions", "", "\"$a ${b} $(c) `d` $1\" "},
    {"shell", "substitutions", "", "$(a) ${b} `c` $((1 << 2)) "},
    {"shell", "unclosed_substitutions", "", "$("},
    {"shell", "here_documents", "", "<<a <<'b' <<-\"c\" "},
    {"shell", "escaped_quotes", "\"", "\\\" "},
    {"shell", "code", "", "a=b; c -d e "},
    {"python", "docstrings", "", "\"\"\"a\"\"\" "},
    {"python", "single_quoted_docstrings", "", "'''a''' "},
    {"python", "strings", "", "\"a\" 'b' "},
    {"python", "formatted_strings", "", "f\"{a}\" rb'b' "},
    {"python", "escaped_quotes", "'", "\\' "},
    {"python", "comments", "", "# a "},
    {"python", "string_backticks", "", "\"`a`\" "},
    {"python", "docstring_roles", "", "\"\"\":param a: `b` >>> c\"\"\" "},
    {"python", "code", "", "a = b(c) "},
    {"m4", "comments", "", "dnl a # b "},
    {"m4", "code", "", "AC_A([b]) xdnl "},
    {"ini", "comments", "", "a = b ; c # d "},
    {"rst", "directives", "", ".. code-block:: a\n   b\n.. note:: c\n"},
    {"rst", "comments_and_targets", "", ".. a\n.. _b: c\n.. [1] d\n.. |e| image:: f\n"},
    {"rst", "literal_blocks", "", "a::\n\n    b\n"},
    {"rst", "adornments", "", "a\n===\n+--+\n"},
    {"rst", "fields", "", ":a: b "},
    {"rst", "literals", "", "``a`` "},
    {"rst", "unclosed_literals", "", "`` "},
    {"rst", "roles", "", ":a:`b` :ref:`c <d>` "},
    {"rst", "role_openers", "", ":a:` "},
    {"rst", "long_role_names", "", ":aaaaaaaaaa:"},
    {"rst", "references", "", "`a <b>`_ c_ [1]_ |d| "},
    {"rst", "reference_titles", "", "`a>`_ "},
    {"rst", "reference_openers", "", "` | [ _ "},
    {"yaml", "values", "", "- a: b c # d\n"},
    {"yaml", "block_scalars", "", "a: |\n  b c\n"},
    {"yaml", "quotes", "", "a: \"b c\" 'd' "},
    {"yaml", "unclosed_quotes", "", "a: \" "},
    {"yaml", "flows", "", "a: [b, {c: d}] "},
    {"yaml", "colons", "", "a:b "},
    {"toml", "values", "", "a = \"b c\" # d\n"},
    {"toml", "tables", "", "[a.\"b\"] "},
    {"toml", "multiline_strings", "", "a = \"\"\"b\"\"\" '''c''' "},
    {"toml", "unclosed_multiline_strings", "", "\"\"\" "},
    {"json", "values", "", "{\"a\": \"b c\", \"d\": [1, \"E\"]} "},
    {"json", "keys_over_blanks", "", "\"a\"  "},
    {"json", "comments", "", "// a\n/* b */ "},
    {"json", "unclosed_comments", "", "/* "},
};

bool IsCode(DocumentMode mode) {
  return frontend::CodeIdentifiersIn(mode, true) == CodeIdentifiers::kChecked;
}

// The pattern's text of about `size` units: the prefix, then the unit repeated (up to half the
// size when there is a tail, then the tail repeated), each followed by a line break when `lines`.
std::u16string Repeated(const Pattern& pattern, bool lines, std::size_t size) {
  std::u16string text(pattern.prefix.begin(), pattern.prefix.end());
  const auto repeat = [&](std::string_view what, std::size_t up_to) {
    std::u16string unit(what.begin(), what.end());
    if (lines) unit += u'\n';
    while (text.size() < up_to) text += unit;
  };
  if (pattern.tail.empty()) {
    repeat(pattern.unit, size);
  } else {
    repeat(pattern.unit, size / 2);
    repeat(pattern.tail, size);
  }
  return text;
}

std::string CaseName(const Pattern& pattern, bool identifiers, bool lines) {
  std::string name(pattern.mode);
  name += identifiers ? "+identifiers/" : "/";
  name += pattern.name;
  name += lines ? "/lines" : "/one_line";
  return name;
}

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The least CPU time (ms) of each case (CaseName) at each size, filled as the runs come in.
std::map<std::tuple<std::string, std::size_t>, double> least_times;

// A case slower than this at a size is not run at the next one (when that one comes later): it
// is quadratic, and the next size would take minutes.
constexpr double kGiveUpMs = 2000;

void BM_HideNonProse(benchmark::State& state, const Pattern* pattern, bool identifiers,
                     bool lines) {
  const auto size = static_cast<std::size_t>(state.range(0));
  if (size > kSizes[0]) {
    const auto before = least_times.find({CaseName(*pattern, identifiers, lines), size / 4});
    if (before != least_times.end() && before->second > kGiveUpMs) {
      state.SkipWithError("not run: the size before took over 2 s");
    }
  }
  const DocumentMode mode = *frontend::ModeNamed(pattern->mode);
  const CodeIdentifiers wanted = frontend::CodeIdentifiersIn(mode, identifiers);
  const std::u16string original = Repeated(*pattern, lines, size);
  std::u16string text = original;
  for (auto _ : state) {
    // The filter alone is timed, in CPU time (which other programs on the machine disturb
    // least): not the copy of the text, which is bound by the memory and so grows faster than
    // the text once the text outgrows the caches. `none` changes nothing, so needs no copy.
    if (mode != DocumentMode::kNone) text = original;
    const double start = ThreadSeconds();
    frontend::HideNonProse(text, mode, wanted);
    benchmark::DoNotOptimize(text.data());
    state.SetIterationTime(ThreadSeconds() - start);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(original.size()) * state.iterations());
}

void RegisterAll() {
  for (const Pattern& pattern : kPatterns) {
    const DocumentMode mode = *frontend::ModeNamed(pattern.mode);
    for (const bool identifiers : {false, true}) {
      if (identifiers && !IsCode(mode)) continue;
      for (const bool lines : {false, true}) {
        auto* bench = benchmark::RegisterBenchmark(CaseName(pattern, identifiers, lines).c_str(),
                                                   BM_HideNonProse, &pattern, identifiers, lines);
        for (const std::size_t size : kSizes) bench->Arg(static_cast<std::int64_t>(size));
        bench->Unit(benchmark::kMillisecond)->MinTime(0.02)->UseManualTime();
        bench->ComputeStatistics("min", [](const std::vector<double>& v) {
          return *std::min_element(v.begin(), v.end());
        });
      }
    }
  }
}

// The console table, and the least CPU time of each case and size on the side.
class StepReporter : public benchmark::ConsoleReporter {
 public:
  StepReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool least = run.run_type == Run::RT_Iteration ||
                         (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min");
      if (!least || run.error_occurred) continue;
      // The name is the case's, then "/" and the size.
      const std::string name = run.run_name.function_name;
      const std::size_t size = std::stoul(run.run_name.args);
      const double time = run.GetAdjustedRealTime();  // the manual time: the filter's CPU time
      auto [it, added] = least_times.try_emplace({name, size}, time);
      if (!added) it->second = std::min(it->second, time);
      if (std::find(order_.begin(), order_.end(), name) == order_.end()) order_.push_back(name);
    }
  }

  // Prints the steps; returns whether every one is within kMaxStepRatio.
  bool PrintSteps() const {
    bool linear = true;
    std::printf("\n%-52s %9s %9s %9s %6s %6s\n", "case (CPU ms, least)", "64K", "256K", "1M",
                "/64K", "/256K");
    for (const std::string& name : order_) {
      std::vector<double> times;
      for (const std::size_t size : kSizes) {
        const auto found = least_times.find({name, size});
        if (found != least_times.end()) times.push_back(found->second);
      }
      std::printf("%-52s", name.c_str());
      for (const double time : times) std::printf(" %9.3f", time);
      for (std::size_t k = times.size(); k < std::size(kSizes); ++k) std::printf(" %9s", "-");
      bool within = times.size() == std::size(kSizes);
      for (std::size_t k = 1; k < times.size(); ++k) {
        // A time below a hundredth of a millisecond, which the clock barely tells from
        // nothing, is taken as that much.
        const double ratio = times[k] / std::max(times[k - 1], 0.01);
        within = within && ratio <= kMaxStepRatio;
        std::printf(" %6.1f", ratio);
      }
      std::printf("%s\n", within ? "" : "  over");
      linear = linear && within;
    }
    std::printf("%s\n", linear ? "every 4x step within 5x" : "some 4x step costs over 5x");
    return linear;
  }

 private:
  std::vector<std::string> order_;
};

}  // namespace
}  // namespace lexivane::bench

int main(int argc, char** argv) {
  // Memory freed stays with the process and large blocks come from the heap too, as in a
  // long-running server: else the allocator gives the pages of blocks over a threshold back at
  // each free, and only the larger sizes pay for faulting them in again.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  lexivane::bench::RegisterAll();
  lexivane::bench::StepReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.PrintSteps() ? 0 : 1;
}

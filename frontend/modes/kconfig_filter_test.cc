#include <gtest/gtest.h>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"

namespace lexivane::frontend {
namespace {

TEST(KconfigFilter, PromptsHelpTextsAndCommentsAreProse) {
  Expect(KeepKconfigProse,
         {
             // A prompt's string; symbols, dependencies, defaults and paths hidden.
             {"config PREEMPT\n\tbool \"Preemptible Kernel\" if EXPERT\n\tdepends on !ARCH_NO\n"
              "\tdefault \"quux\"\n\tselect FOO_BAR\nsource \"arch/Kconfig\"\n",
              "Preemptible Kernel"},
             {"menu \"Power management\"\nprompt \"Choose one\"\ncomment \"Clock drivers\"\n",
              "Power management Choose one Clock drivers"},
             {"config X # fix this later\n# the whole line\n", "fix this later the whole line"},
             {"\tstring \"Say \\\"yes\\\" here\" # and a note", "Say yes here and a note"},
             // The help text runs while lines are indented as far as its first one.
             {"config A\n\tbool\n\thelp\n\t  Say Y here to\n\n\t  enable it.\n\n"
              "config B\n\tint \"Size\"\n",
              "Say Y here to enable it Size"},
             {"config A\n  ---help---\n    Old style help.\n  default y\n", "Old style help"},
             // Its identifiers and addresses stay hidden.
             {"\thelp\n\t  See CONFIG_FOO_BAR and https://example.org/x for details.\n",
              "See and for details"},
             // A help line with nothing indented past it has no text.
             {"config A\n\thelp\n\tdefault y\n\tbool \"Shown\"\n", "Shown"},
         });
}

}  // namespace
}  // namespace lexivane::frontend

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(PythonFilter, PythonKeepsCommentsDocstringsAndStrings) {
  Expect(KeepPythonCommentsAndStrings,
         {
             {"def f(x):\n    \"\"\"Return the sum.\n\n    >>> f(1)\n    2\n    \"\"\"",
              "Return the sum"},
             {"x = f'Total {count:>8} items' + rb'\\d+' + u\"\\nHello\"", "Total items Hello"},
             {"raise ValueError('%(name)s is invalid: %d' % v)  # keep going",
              "is invalid keep going"},
             {"\"\"\":param max_len: the limit\n:returns: the value\"\"\"", "the limit the value"},
             {"\"\"\"Sum.\n\n    Args:\n        count (int, optional): How many.\n"
              "          Or: none.\n        *args: Extra ones.\n    Parameters\n    ----------\n"
              "    xs, ys : list, optional\n        Its values.\n    Notes\n    -----\n"
              "    Then prose : here\"\"\"",
              "Sum Args How many Or none Extra ones Parameters Its values Notes Then prose here"},
             {"s = 'two words'; t = r'C:\\dir\\n'  # see `os.path`", "two words see"},
             {"print(f\"{n} fiels\", \"{} neccessary {}\".format(a, b), f\"{x}\", 'utf-8')",
              "fiels neccessary"},
             {"x = '''never closed\nstill string", "never closed still string"},
             {"'''one more''' \"\"\"two more\n>>> x\"\"\" # three `four` five",
              "one more two more three five"},
             {"# note\r\nx = 'two words'\r\n", "note two words"},
             {"f'{d[\"k\"]} and {{name}} braces'", "and braces"},  // {name} as in str.format
             {"r'''raw never closed", "raw never closed"},
         });
}

TEST(PythonFilter, ReadsEveryPrefixAndQuoting) {
  Expect(KeepPythonCommentsAndStrings,
         {
             // Prefixes in any case and order; f-strings hide their fields.
             {"Rb'\\w' BR\"x\" Fr'{a} one' rF\"two {b!r:>3} more\" U'three more'",
              "one two more three more"},
             {"f'''multi {x}\nline'''  # end", "multi line end"},
             // Quotes inside other quotes, an empty string before a word.
             {"\"say 'hi' there\" '' + 'a word'", "say hi there a word"},
             // A string left open at its line's end stops there.
             {"s = 'open words\nnext_line = 1  # note", "open words note"},
             // ...unless a backslash joins the next line to it; a comment never goes on.
             {"s = 'first \\\nsecond word'; x = other_name\r\nt = \"one \\\r\nmore\"",
              "first second word one more"},
             {"# a comment \\\nnot_a_comment = 'two words'", "a comment two words"},
             // Docstring fields: reST and Google style names hidden, their text kept.
             {"\"\"\"Do it.\n\n:param int count: how many\n:raises ValueError: when bad\n"
              "Returns:\n    list: the items\n\"\"\"",
              "Do it how many when bad Returns the items"},
         });
}

}  // namespace
}  // namespace lexivane::frontend

#include <gtest/gtest.h>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"

namespace lexivane::frontend {
namespace {

TEST(RestructuredTextFilter, BlocksOfCodeCommentsAndMarkupAreHidden) {
  Expect(HideRestructuredTextMarkup,
         {
             {"Title here\n==========\n\nSome text.", "Title here Some text"},
             {"====\nTop\n====\n\n----\n", "Top"},
             {"Example::\n\n    code goes_here()\n    more code\n\nBack to text.",
              "Example Back to text"},
             {"Paragraph ::\n\n  literal\n\n  still literal\nAfter.", "Paragraph After"},
             {".. code-block:: python\n   :linenos:\n\n   print('hi there')\n\nText again.",
              "Text again"},
             {".. note:: Read this first.\n\n   The body is prose.\n\nOut.",
              "Read this first The body is prose Out"},
             {".. image:: pics/logo.png\n   :alt: logo\n\n.. figure:: a.png\n\n   The caption.",
              "logo The caption"},
             {".. a comment\n   over lines\n\n..\n   empty comment\n\nText.", "Text"},
             {".. _target-name: https://example.org/x\n.. [1] Footnote text.\n.. [#note] More.",
              "Footnote text More"},
             {".. |logo| image:: logo.png\n.. |name| replace:: the checker", "the checker"},
             {":Author: Jane Doe\n:version: 1.0\n:field name: value", "Jane Doe value"},
             {"+-----+-----+\n| one | two |\n+=====+=====+\n\n=====  =====\nA      B\n=====  =====",
              "one two A B"},
             {">>> x = 1\n... y\n1\n\nProse.", "Prose"},
             // A literal block ends where the indentation falls back to its paragraph's text,
             // which in a list item starts after the bullet or number.
             {"* item::\n\n    code\n\n  back in item\n\n#. next::\n\n     code\n\n   more",
              "item back in item next more"},
             {".. py:function:: parse(text)\n\n   Parses the text.", "Parses the text"},
             {"Title\r\n=====\r\n\r\n.. code:: sh\r\n\r\n   make\r\nText\r\n", "Title Text"},
         });
}

TEST(RestructuredTextFilter, InlineMarkupShowsOnlyWhatAReaderReads) {
  Expect(
      HideRestructuredTextMarkup,
      {
          {"Call ``run_all()`` or ``x`` now.", "Call or now"},
          {"See :func:`os.path.join` and :py:meth:`Foo.bar` here.", "See and here"},
          {"Read :ref:`the guide <guide-label>` and :doc:`intro`.", "Read the guide and intro"},
          {"A `link text <https://example.org/x>`_ and `other`__ here.",
           "A link text and other here"},
          {"Python_ and docs__ and snake_case stay.", "Python and docs and snake_case stay"},
          {"Use |version| and |logo|_ but a | b | c.", "Use and but a b c"},
          {"Cited [1]_ and [#]_ and [CIT2002]_ and [not a ref].", "Cited and and and not a ref"},
          {"An _`inline target` and `default role` here.", "An inline target and here"},
          {"Over `two\nlines <x>`_ end.", "Over two lines end"},
          {"Unclosed ``literal\n\nNext :role:`open\n\nand `tick",
           "Unclosed literal Next open and tick"},
          {"Time: 10:30 and a:b:c and *emphasis* **strong**", "Time and a b c and emphasis strong"},
          {"Visit https://example.org/a_b now.", "Visit now"},
      });
}

}  // namespace
}  // namespace lexivane::frontend

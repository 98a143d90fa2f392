#include "lexivane/suggestions_dialog.h"

namespace lexivane {

namespace {

using Kind = DialogControl::Kind;

// Listed top to bottom, left to right. The tab order is the last number: the two labels come
// last in it, so the "Change to" box has the focus when the dialog opens.
constexpr std::array<DialogControl, 11> kControls = {{
    {u"lblWord", Kind::Label, u"Change to:", 180, 120, 975, 255, 9},
    {u"txtWord", Kind::TextBox, u"", 1260, 120, 4695, 285, 0},
    {u"lblSuggestion", Kind::Label, u"Suggestions:", 180, 540, 975, 195, 10},
    {u"lstSuggestion", Kind::ListBox, u"", 1260, 540, 2055, 1815, 1},
    {u"cmdChange", Kind::Button, u"&Change", 3420, 540, 1215, 375, 2},
    {u"cmdIgnore", Kind::Button, u"&Ignore", 4740, 540, 1215, 375, 3},
    {u"cmdChangeAll", Kind::Button, u"Change A&ll", 3420, 960, 1215, 375, 4},
    {u"cmdIgnoreAll", Kind::Button, u"I&gnore All", 4740, 960, 1215, 375, 5},
    {u"cmdAddWord", Kind::Button, u"&Add Word", 3420, 1440, 1215, 375, 6},
    {u"cmdSuggest", Kind::Button, u"&Suggest", 4740, 1440, 1215, 375, 7},
    {u"cmdCancel", Kind::Button, u"Ca&ncel", 4740, 2040, 1215, 375, 8},
}};

}  // namespace

const std::array<DialogControl, 11>& SuggestionsDialog::Controls() {
  return kControls;
}

const DialogControl& SuggestionsDialog::ControlFor(DialogButton button) {
  switch (button) {
    case DialogButton::Change:
      return kControls[4];
    case DialogButton::Ignore:
      return kControls[5];
    case DialogButton::ChangeAll:
      return kControls[6];
    case DialogButton::IgnoreAll:
      return kControls[7];
    case DialogButton::AddWord:
      return kControls[8];
    case DialogButton::Suggest:
      return kControls[9];
    case DialogButton::Cancel:
      break;
  }
  return kControls[10];
}

}  // namespace lexivane

// The automation object through its vtable, for what a client of the registered DLL cannot
// reach: a scripted dialog view, a view that fails, null pointers. (The clients' tests cover the
// members, the events and the dialog window end to end, early- and late-bound.)
#include "component/spell_check_object.h"

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "component/variant_args.h"
#include "lexivane/dialog.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

using Microsoft::WRL::ComPtr;

class SpellCheckObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateSpellCheckObject(nullptr, IID__SpellCheck, &object_), S_OK);
    VARIANT result;
    ASSERT_EQ(object_->Init(nullptr, nullptr, nullptr, &result), S_OK);
  }

  ComPtr<_SpellCheck> object_;
};

// A dialog view that answers every showing with the given clicks, installed while it lives.
struct AnsweringView : ScriptedDialogView {
  explicit AnsweringView(std::function<void(SuggestionsDialog&)> answer)
      : ScriptedDialogView(std::move(answer)) {
    SetDialogView(this);
  }
  ~AnsweringView() override { SetDialogView(nullptr); }
};

// The flags are optional: a caller may pass null for both.
TEST_F(SpellCheckObjectTest, DialogWithoutFlagsOrWithAFailingView) {
  const Bstr word(u"teh");
  {
    AnsweringView view([](SuggestionsDialog& dialog) {
      dialog.SetChangeToText(u"the");
      dialog.Tick();
      dialog.Click(DialogButton::ChangeAll);
    });
    VARIANT answer;
    ASSERT_EQ(object_->ShowSuggestionDialog(word.get(), nullptr, nullptr, &answer), S_OK);
    EXPECT_EQ(V_VT(&answer), VT_BSTR);
    ::VariantClear(&answer);
  }

  // A view that fails makes the whole run fail, with error information.
  AnsweringView failing([](SuggestionsDialog&) { throw std::runtime_error("no display"); });
  VARIANT result;
  EXPECT_EQ(object_->CheckText(word.get(), VARIANT_TRUE, &result), E_UNEXPECTED);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  EXPECT_STREQ(description, L"no display");
  ::SysFreeString(description);
}

// What the clients' tests cannot pass through a type library: null pointers, and an in/out
// threshold that must come back as given.
TEST_F(SpellCheckObjectTest, NullArgumentsAtTheBoundary) {
  VARIANT_BOOL answer = 5;
  EXPECT_EQ(object_->CheckWord(nullptr, 255, &answer), S_OK);  // NULL is the empty string
  EXPECT_EQ(answer, VARIANT_TRUE);
  EXPECT_EQ(object_->put_SuggestionSimilarity(nullptr), E_POINTER);
  EXPECT_EQ(object_->DisableButtons(nullptr, nullptr), E_POINTER);
  float high = 2.0f;
  EXPECT_EQ(object_->put_SuggestionSimilarity(&high), S_OK);
  EXPECT_EQ(high, 2.0f);
}

}  // namespace
}  // namespace lexivane::component

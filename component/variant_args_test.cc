#include "component/variant_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexivane::component {
namespace {

TEST(VariantArgsTest, BstrsKeepEveryCharacterAndNullIsEmpty) {
  EXPECT_TRUE(FromBstr(nullptr).empty());
  const std::u16string with_nul(u"a\0b\u00E9", 4);
  Bstr text(with_nul);
  EXPECT_EQ(::SysStringLen(text.get()), 4u);
  EXPECT_EQ(FromBstr(text.get()), with_nul);
  EXPECT_EQ(ToVariantBool(true), VARIANT_TRUE);
  EXPECT_EQ(ToVariantBool(false), VARIANT_FALSE);
  // A default that reads back as 255 must still mean True.
  EXPECT_TRUE(FromVariantBool(255));
}

SAFEARRAY* MakeArray(VARTYPE type, UINT dimensions, USHORT extra_features = 0) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* array = ::SafeArrayCreate(type, dimensions, bounds);
  array->fFeatures |= extra_features;
  return array;
}

TEST(VariantArgsTest, OnlyAFreeOneDimensionalVariantArrayMayBeReplaced) {
  EXPECT_EQ(CheckReplaceableArray(nullptr), S_OK);
  const struct {
    VARTYPE type;
    UINT dimensions;
    USHORT features;
    HRESULT expected;
  } cases[] = {
      {VT_VARIANT, 1, 0, S_OK},
      {VT_VARIANT, 2, 0, DISP_E_TYPEMISMATCH},
      {VT_BSTR, 1, 0, DISP_E_TYPEMISMATCH},
      {VT_I4, 1, 0, DISP_E_TYPEMISMATCH},
      // How a script's Dim a(1) arrives: part of the script's storage.
      {VT_VARIANT, 1, FADF_STATIC | FADF_FIXEDSIZE, DISP_E_ARRAYISLOCKED},
      {VT_VARIANT, 1, FADF_FIXEDSIZE, DISP_E_ARRAYISLOCKED},
      {VT_VARIANT, 1, FADF_EMBEDDED, DISP_E_ARRAYISLOCKED},
  };
  for (const auto& c : cases) {
    SAFEARRAY* array = MakeArray(c.type, c.dimensions, c.features);
    EXPECT_EQ(CheckReplaceableArray(array), c.expected)
        << "type " << c.type << ", " << c.dimensions << " dimensions, features " << c.features;
    array->fFeatures &= ~(FADF_STATIC | FADF_FIXEDSIZE | FADF_EMBEDDED);
    ::SafeArrayDestroy(array);
  }

  SAFEARRAY* locked = MakeArray(VT_VARIANT, 1);
  ::SafeArrayLock(locked);
  EXPECT_EQ(CheckReplaceableArray(locked), DISP_E_ARRAYISLOCKED);
  ::SafeArrayUnlock(locked);
  ::SafeArrayDestroy(locked);
}

std::vector<std::u16string> Read(SAFEARRAY* array) {
  EXPECT_EQ(::SafeArrayGetDim(array), 1u);
  LONG lower = -1;
  LONG upper = -1;
  ::SafeArrayGetLBound(array, 1, &lower);
  ::SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  std::vector<std::u16string> words;
  for (LONG index = lower; index <= upper; ++index) {
    VARIANT item;
    ::VariantInit(&item);
    ::SafeArrayGetElement(array, &index, &item);
    EXPECT_EQ(V_VT(&item), VT_BSTR);
    words.emplace_back(FromBstr(V_BSTR(&item)));
    ::VariantClear(&item);
  }
  return words;
}

TEST(VariantArgsTest, ReplacingGivesAZeroBasedArrayOfStringsOrNull) {
  const std::vector<std::u16string> words = {u"the", u"ten", u"tea"};
  SAFEARRAY* array = MakeArray(VT_VARIANT, 1);
  ReplaceArray(&array, words);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(Read(array), words);

  ReplaceArray(&array, {});
  EXPECT_EQ(array, nullptr);
  ReplaceArray(&array, {u"one"});
  EXPECT_EQ(Read(array), std::vector<std::u16string>{u"one"});
  ::SafeArrayDestroy(array);
}

}  // namespace
}  // namespace lexivane::component

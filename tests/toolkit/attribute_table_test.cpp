// The attribute tables: exact and any-case names, no prefix or longer name taken for a known one,
// and a subclass's table falling back to its base's.
#include <gtest/gtest.h>

#include "toolkit/attribute_table.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

struct Target {
  std::wstring last;
};

void Record(Target& t, const std::wstring& name, const std::wstring& value, bool) {
  t.last = name + L"=" + value;
}

struct NameCase {
  AttrNames names;
  const wchar_t* asked;
  bool found;
};

TEST(AttributeTable, MatchesWholeNamesOnly) {
  const NameCase cases[] = {
      {AttrNames::kExact, L"dropAlign", true},   {AttrNames::kExact, L"dropalign", false},
      {AttrNames::kExact, L"drop", false},       {AttrNames::kExact, L"dropAlignX", false},
      {AttrNames::kExact, L"", false},           {AttrNames::kAnyCase, L"DROPALIGN", true},
      {AttrNames::kAnyCase, L"dropalig", false}, {AttrNames::kAnyCase, L"dropalignn", false},
      {AttrNames::kExact, L"x", true},           {AttrNames::kAnyCase, L"X", true},
  };
  for (const NameCase& c : cases) {
    AttributeTable<Target> table{{{L"dropAlign", &Record}, {L"x", &Record}}, c.names};
    Target target;
    EXPECT_EQ(table.Apply(target, c.asked, L"7", true), c.found) << c.asked;
    EXPECT_EQ(target.last.empty(), !c.found) << c.asked;
  }
}

struct ControlCase {
  const wchar_t* attribute;
  const wchar_t* value;
  bool known;
};

// Every class answers for its own attributes and its bases', and refuses others.
TEST(AttributeTable, ControlsFallBackToTheirBase) {
  const ControlCase cases[] = {
      {L"checked", L"1", true},  {L"text", L"a", true},    {L"enable", L"0", true},
      {L"tabStop", L"1", true},  {L"curSel", L"1", false}, {L"min", L"1", false},
      {L"Checked", L"1", false}, {L"nosuch", L"1", false},
  };
  for (const ControlCase& c : cases) {
    SCheckBox box;
    EXPECT_EQ(box.SetAttribute(c.attribute, c.value), c.known) << c.attribute;
  }
  SCheckBox box;
  box.SetAttribute(L"checked", L"1");
  box.SetAttribute(L"enable", L"0");
  EXPECT_TRUE(box.IsChecked());
  EXPECT_TRUE(box.IsDisabled());
  SProgress bar;
  EXPECT_TRUE(bar.SetAttribute(L"max", L"50"));
  EXPECT_TRUE(bar.SetAttribute(L"value", L"80"));
  EXPECT_EQ(bar.GetValue(), 50);
  EXPECT_FALSE(bar.SetAttribute(L"checked", L"1"));
}

}  // namespace
}  // namespace toolkit

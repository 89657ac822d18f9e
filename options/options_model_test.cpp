#include "options/options_model.h"

#include <gtest/gtest.h>

#include <set>

namespace quorel::options_program {
namespace {

const Setting& Find(int option) {
  for (const Page& page : Pages()) {
    for (const Setting& setting : page.settings) {
      if (setting.option == option) return setting;
    }
  }
  throw std::out_of_range("no such option");
}

// Every option a user chooses is on exactly one page; X, Y and the font values are not.
TEST(OptionsPages, HoldEveryUserOptionOnce) {
  std::set<int> seen;
  for (const Page& page : Pages()) {
    for (const Setting& setting : page.settings) {
      EXPECT_TRUE(seen.insert(setting.option).second) << setting.option;
      EXPECT_FALSE(setting.meaning.empty());
      EXPECT_EQ(setting.control == Control::kChoice, !setting.choices.empty());
    }
  }
  std::set<int> expected;
  for (int option = 0; option <= 17; ++option) expected.insert(option);
  for (int option = 23; option <= 29; ++option) expected.insert(option);
  expected.insert({30, 31});
  EXPECT_EQ(seen, expected);
}

TEST(OptionsValues, OutOfRangeIsRefusedNamingTheOptionAndItsRange) {
  const Setting& distance = Find(10);
  const Accepted slide = AcceptedValues(distance, {10, 0xFFFFFFFFu, false});
  int value = -1;
  EXPECT_FALSE(CheckValue(distance, slide, u"30", &value));
  EXPECT_EQ(value, 30);
  EXPECT_EQ(CheckValue(distance, slide, u"5", &value),
            u"Slide distance must be a number from 10 to 200 pixels.");
  EXPECT_TRUE(CheckValue(distance, slide, u"", &value));
  EXPECT_TRUE(CheckValue(distance, slide, u"-3", &value));
  EXPECT_TRUE(CheckValue(distance, slide, u"99999999999", &value));

  const Setting& repeat = Find(16);
  const Accepted delay = AcceptedValues(repeat, {150, 350, true});
  EXPECT_FALSE(CheckValue(repeat, delay, u"0", &value));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(CheckValue(repeat, delay, u"100", &value),
            u"Repeat delay must be 0 or a number from 150 to 350 milliseconds.");
}

// A "Slide distance" of 250, which the store keeps, never blocks an Apply of another change.
TEST(OptionsValues, OnlyAChangedNumberIsChecked) {
  const Setting& distance = Find(10);
  const Accepted slide = AcceptedValues(distance, {10, 0xFFFFFFFFu, false});
  const NumberField kept = ReadNumberField(distance, slide, 250, u"250");
  EXPECT_EQ(kept.value, 250);
  EXPECT_FALSE(kept.refusal);
  EXPECT_TRUE(ReadNumberField(distance, slide, 250, u"251").refusal);
  EXPECT_EQ(ReadNumberField(distance, slide, 250, u"150").value, 150);
}

TEST(OptionsValues, ArrowsStepOnlyThroughValuesTheOptionTakes) {
  const Accepted delay = AcceptedValues(Find(16), {150, 350, true});
  EXPECT_EQ(StepNumber(delay, u"0", 1), 150);  // over the gap after "off"
  EXPECT_EQ(StepNumber(delay, u"150", -1), 0);
  EXPECT_EQ(StepNumber(delay, u"200", 1), 201);
  EXPECT_EQ(StepNumber(delay, u"350", 1), 350);
  const Accepted slide = AcceptedValues(Find(10), {10, 0xFFFFFFFFu, false});
  EXPECT_EQ(StepNumber(slide, u"250", 1), 200);  // a stored value beyond the range comes in
  EXPECT_EQ(StepNumber(slide, u"", 1), 10);
}

TEST(OptionsValues, OnlyLayoutAndSlideFileChangesRebuildTheKeyboard) {
  EXPECT_EQ(OptionsChangedParameter({}), std::nullopt);
  EXPECT_EQ(OptionsChangedParameter({&Find(10), &Find(16)}), 1);
  EXPECT_EQ(OptionsChangedParameter({&Find(10), &Find(0)}), 0);
  EXPECT_EQ(OptionsChangedParameter({&Find(7)}), 0);
}

}  // namespace
}  // namespace quorel::options_program

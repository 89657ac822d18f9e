#include "library/shared_block/shared_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

namespace fake = platform::fake;

class SharedBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    ResetSharedBlockForTest();
  }
  void TearDown() override { ResetSharedBlockForTest(); }

  // The block's bytes as every process sees them.
  static std::uint32_t FieldAt(std::size_t offset) {
    const std::vector<std::uint8_t>& memory =
        fake::System().mappings.at(std::u16string(kSharedBlockName));
    std::uint32_t value = 0;
    std::memcpy(&value, memory.data() + offset, 4);
    return value;
  }

  // Starts over as another process: the block itself stays.
  static void BecomeAnotherProcess() { ResetSharedBlockForTest(); }
};

TEST_F(SharedBlockTest, FirstOpenerClearsTheBlockAndLaterOpenersKeepIt) {
  SharedBlock* block = OpenSharedBlock();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(OpenSharedBlock(), block);  // once per process
  for (std::size_t offset = 0; offset < sizeof(SharedBlock); offset += 4) {
    EXPECT_EQ(FieldAt(offset), 0u) << offset;
  }
  EXPECT_EQ(KeyboardWindow(), 0u);

  ASSERT_TRUE(PublishKeyboard(0x1234));
  BecomeAnotherProcess();
  EXPECT_EQ(KeyboardWindow(), 0x1234u);
  EXPECT_EQ(ReadSharedField(&SharedBlock::options_changed_message), kOptionsChangedMessage);
  EXPECT_TRUE(fake::System().message_boxes.empty());
}

TEST_F(SharedBlockTest, KeyboardPublishesAtTheFixedOffsetsAndClearsOnlyItsWindow) {
  ASSERT_TRUE(PublishKeyboard(0x00ABCDEF));
  ASSERT_TRUE(SetEditorDialog(0x777));
  ASSERT_TRUE(SetEditorSpecialKeyMessage(kEditorSpecialKeyMessage));
  const std::uint32_t expected[13] = {0,      0,      0, 0x00ABCDEF, 0x800A, 0x8014, 0x801E,
                                      0x8028, 0x8032, 0, 0x777,      0,      0x8001};
  for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(FieldAt(i * 4), expected[i]) << i * 4;

  ASSERT_TRUE(ClearKeyboardWindow());
  EXPECT_EQ(FieldAt(12), 0u);
  EXPECT_EQ(FieldAt(20), 0x8014u);
  EXPECT_EQ(FieldAt(32), 0x8032u);

  ASSERT_TRUE(SetEditorSpecialKeyMessage(0));
  EXPECT_EQ(EditorSpecialKeyMessage(), 0u);
  EXPECT_EQ(EditorDialog(), 0x777u);
}

TEST_F(SharedBlockTest, AFailureIsShownOnceAndTheBlockStaysUnavailable) {
  fake::System().mapping_failure = platform::MappingResult::kCreateFailed;
  EXPECT_EQ(OpenSharedBlock(), nullptr);
  EXPECT_EQ(ReadSharedField(&SharedBlock::keyboard_window), 0u);
  fake::System().mapping_failure = platform::MappingResult::kOk;
  EXPECT_FALSE(SetEditorDialog(5));
  const auto& boxes = fake::System().message_boxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"CreateFileMapping failed");
  EXPECT_EQ(boxes[0].caption, u"Pelmarik");

  ResetSharedBlockForTest();
  fake::System().mapping_failure = platform::MappingResult::kMapFailed;
  EXPECT_EQ(OpenSharedBlock(), nullptr);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, u"MapViewOfFile failed");
}

TEST_F(SharedBlockTest, WindowHandlesComeBackSignExtended) {
  const platform::WindowHandle high = SharedFieldToWindow(0x80000010u);
  EXPECT_EQ(WindowToSharedField(high), 0x80000010u);
  EXPECT_EQ(static_cast<std::intptr_t>(high), static_cast<std::int32_t>(0x80000010u));
  ASSERT_TRUE(SetEditorDialog(high));
  EXPECT_EQ(EditorDialog(), high);
}

}  // namespace
}  // namespace quorel

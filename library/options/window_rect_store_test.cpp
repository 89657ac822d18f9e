#include "library/options/window_rect_store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/fake/fake_system.h"
#include "platform/registry.h"

namespace quorel {
namespace {

namespace fake = platform::fake;

class WindowRectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  static void Store(int left, int top, int width, int height) {
    fake::SetRegistryDword(kEditorKey, u"unipick_left", static_cast<std::uint32_t>(left));
    fake::SetRegistryDword(kEditorKey, u"unipick_top", static_cast<std::uint32_t>(top));
    fake::SetRegistryDword(kEditorKey, u"unipick_width", static_cast<std::uint32_t>(width));
    fake::SetRegistryDword(kEditorKey, u"unipick_height", static_cast<std::uint32_t>(height));
  }

  static std::array<int, 4> Load() {
    std::array<int, 4> rect = {-9, -9, -9, -9};
    LoadWindowRect(u"unipick", &rect[0], &rect[1], &rect[2], &rect[3]);
    return rect;
  }

  static int StoredValue(std::u16string_view name) {
    const fake::RegistryValue* value = fake::FindRegistryValue(kEditorKey, name);
    if (value == nullptr || value->type != platform::kRegDword || value->data.size() != 4) {
      return -12345;
    }
    int result = 0;
    std::memcpy(&result, value->data.data(), 4);
    return result;
  }
};

using Rect4 = std::array<int, 4>;
constexpr Rect4 kDefault = {0, 0, 320, 300};

TEST_F(WindowRectStoreTest, SaveWritesTheWindowsScreenRectangleAsFourDwords) {
  fake::System().windows[0x42] = {-10, 20, 290, 420};
  EXPECT_EQ(SaveWindowRect(u"unipick", 0x42), 0);
  EXPECT_EQ(StoredValue(u"unipick_left"), -10);
  EXPECT_EQ(StoredValue(u"unipick_top"), 20);
  EXPECT_EQ(StoredValue(u"unipick_width"), 300);
  EXPECT_EQ(StoredValue(u"unipick_height"), 400);
  EXPECT_EQ(Load(), (Rect4{-10, 20, 300, 400}));
}

TEST_F(WindowRectStoreTest, SaveFailuresWriteNothingAndSayWhy) {
  EXPECT_EQ(SaveWindowRect(u"unipick", 0x99), kErrorInvalidWindowHandle);
  EXPECT_FALSE(fake::RegistryKeyExists(kEditorKey));

  fake::System().windows[0x42] = {0, 0, 10, 10};
  fake::System().registry_failure = 5;
  EXPECT_EQ(SaveWindowRect(u"unipick", 0x42), 5);
  fake::System().registry_failure = 0;
  fake::System().registry_write_failure = 1009;
  EXPECT_EQ(SaveWindowRect(u"unipick", 0x42), 1009);
  EXPECT_EQ(fake::FindRegistryValue(kEditorKey, u"unipick_left"), nullptr);
}

TEST_F(WindowRectStoreTest, MissingOrUnreadableValuesKeepTheirDefaults) {
  EXPECT_EQ(Load(), kDefault);
  fake::SetRegistryDword(kEditorKey, u"unipick_left", 40);
  fake::SetRegistryString(kEditorKey, u"unipick_width", u"500");
  fake::SetRegistryDword(kEditorKey, u"other_top", 70);
  EXPECT_EQ(Load(), (Rect4{40, 0, 320, 300}));
  fake::System().registry_failure = 5;
  EXPECT_EQ(Load(), kDefault);
}

TEST_F(WindowRectStoreTest, RectangleOffTheVirtualScreenFallsBackToDefaults) {
  struct Case {
    Rect4 stored;
    Rect4 expected;
  };
  const Case cases[] = {
      {{5000, 5000, 320, 300}, kDefault},
      {{1023, 767, 100, 100}, {1023, 767, 100, 100}},    // one pixel in, bottom right
      {{1024, 100, 100, 100}, kDefault},                 // touching the edge is outside
      {{-319, -299, 320, 300}, {-319, -299, 320, 300}},  // one pixel in, top left
      {{-320, 0, 320, 300}, kDefault},
      {{100, 100, 0, 300}, kDefault},  // an empty rectangle shows nothing
      {{100, 100, -50, 300}, kDefault},
      {{0x7FFFFFF0, 0, 0x7FFFFFF0, 300}, kDefault},  // no wrap-around into the screen
  };
  for (const Case& c : cases) {
    Store(c.stored[0], c.stored[1], c.stored[2], c.stored[3]);
    EXPECT_EQ(Load(), c.expected) << c.stored[0] << "," << c.stored[1];
  }
  // A monitor left of and above the primary: a place stored on it is on the screen.
  fake::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 728}, 96},
                     {{-1920, -1080, 0, 0}, {-1920, -1080, 0, -40}, 96}});
  Store(-1500, -900, 320, 300);
  EXPECT_EQ(Load(), (Rect4{-1500, -900, 320, 300}));
}

TEST_F(WindowRectStoreTest, LoadAcceptsNullOutPointers) {
  Store(10, 20, 30, 40);
  int width = 0;
  LoadWindowRect(u"unipick", nullptr, nullptr, &width, nullptr);
  EXPECT_EQ(width, 30);
}

}  // namespace
}  // namespace quorel

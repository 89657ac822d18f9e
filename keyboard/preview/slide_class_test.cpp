#include "keyboard/preview/slide_class.h"

#include <gtest/gtest.h>

#include "keyboard/preview/slide_layout.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard {
namespace {

struct ClassCase {
  int x0, y0, x, y, step, slide_to_choice;
  SlideClass expected;
};

TEST(ClassifySlideTest, DirectionLevelAndSlideTest) {
  const ClassCase cases[] = {
      {100, 100, 100, 100, 20, 1, {false, 0, 0}},  // a tap
      {100, 100, 103, 60, 20, 1, {true, 1, 1}},    // (3, 40) up with D 30
      {100, 200, 100, 150, 20, 1, {true, 1, 2}},   // 50, 69, 70 pixels with S 20
      {100, 200, 100, 131, 20, 1, {true, 1, 2}},
      {100, 200, 100, 130, 20, 1, {true, 1, 3}},
      {100, 100, 105, 100, 20, 1, {false, 3, 1}},
      {100, 100, 110, 76, 20, 1, {false, 2, 1}},  // right 10, up 24: U just below B
      {100, 100, 110, 75, 20, 1, {false, 1, 1}},  // up 25: north
      {100, 100, 130, 130, 20, 1, {true, 4, 1}},
      {100, 100, 100, 140, 20, 1, {true, 5, 1}},
      {100, 100, 70, 130, 20, 1, {true, 6, 1}},
      {100, 100, 60, 100, 20, 1, {true, 7, 1}},
      {100, 100, 70, 70, 20, 1, {true, 8, 1}},
      {50, 2, 50, -2, 20, 1, {true, 1, 1}},   // off the top edge after 4 pixels
      {50, 2, 50, -2, 20, 0, {false, 1, 1}},  // ...only with "Slide to choice"
      {50, 2, 53, -2, 20, 1, {false, 2, 1}},  // ...and only northwards
      // The squared distance passes 2^31: still a long slide, never a tap.
      {500, 300, -32768, -32768, 20, 1, {true, 8, 2344}},
      {-1, -1, 32767, 32767, 20, 1, {true, 4, 2316}},
      {100, 200, 100, 100, 0, 1, {true, 1, 1}},  // a step of 0 or below never divides
      {100, 200, 100, 100, -5, 1, {true, 1, 1}},
  };
  for (const ClassCase& c : cases) {
    ResetEngineForTest();
    SetOption(OptionId::kSlideStep, c.step);
    SetOption(OptionId::kSlideToChoice, c.slide_to_choice);
    const SlideClass result = ClassifySlide(c.x0, c.y0, c.x, c.y);
    SCOPED_TRACE(::testing::Message() << c.x0 << "," << c.y0 << " -> " << c.x << "," << c.y);
    EXPECT_EQ(result.is_slide, c.expected.is_slide);
    EXPECT_EQ(result.direction, c.expected.direction);
    EXPECT_EQ(result.level, c.expected.level);
  }
}

TEST(SlideLayoutTest, ListLimitIsTheRoomToTheScreenEdge) {
  SlideSnapshot s{0, 0, 1024, 768, 1024, 768, {300, 500, 542, 700}, 16, 1, 1, {}, 30, 20,
                  {0, 0, 1024, 768}};
  const struct {
    int direction;
    platform::Point down;
    int step;
    bool slide_to_choice;
    int limit;
  } cases[] = {
      {1, {500, 300}, 20, false, 14},
      {1, {500, 300}, 20, true, 31},  // 500 / 16 rows above
      {2, {500, 300}, 20, false, 20},
      {6, {100, 300}, 20, false, 6},
      // Closer than D to the edge: the unsigned division still allows 100.
      {4, {1020, 300}, 20, false, 100},
      {3, {500, 300}, 0, false, 100},
  };
  for (const auto& c : cases) {
    s.down = c.down;
    s.step = c.step;
    EXPECT_EQ(ListLimit(s, c.direction, c.slide_to_choice), c.limit) << "direction " << c.direction;
  }
}

TEST(SlideLayoutTest, LeftEdgeFollowsPositionAndDirection) {
  SlideSnapshot s;
  s.down = {500, 300};
  s.distance = 30;
  s.step = 20;
  // A list 60 wide with three rows, the last 30 + 2 * 20 = 70 pixels away.
  const struct {
    int direction, position, left;
  } cases[] = {
      {1, 1, 440}, {5, 2, 500}, {2, 1, 461}, {4, 2, 549}, {3, 1, 470}, {3, 2, 570},
      {6, 1, 391}, {8, 2, 479}, {7, 1, 370}, {7, 2, 470}, {3, 3, 470},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ListLeftEdge(s, c.direction, c.position, 3, 60), c.left)
        << "direction " << c.direction << " position " << c.position;
  }
  const platform::Rect work{0, 0, 1024, 728};
  EXPECT_EQ(ClampIntoWorkArea(std::int64_t{1} << 40, 60, work), 964);
  EXPECT_EQ(ClampIntoWorkArea(500, 2000, work), 0);  // the left bound wins
}

TEST(SlideLayoutTest, ListGoesAboveWithMoreRoomThereOrWhenItFits) {
  SlideSnapshot s{0, 0, 1024, 768, 1024, 768, {300, 500, 542, 700}, 16, 1, 1, {}, 30, 20,
                  {0, 0, 1024, 768}};
  EXPECT_TRUE(ListGoesAbove(s, 3));
  s.keyboard = {300, 20, 542, 220};
  EXPECT_FALSE(ListGoesAbove(s, 3));
  EXPECT_TRUE(ListGoesAbove(s, 1));  // 16 + 2 fits in the 20 pixels above
}

}  // namespace
}  // namespace quorel::keyboard

// A tablet at 200 % docked beside a monitor at 100 %: the keyboard dragged across by its
// caption, as the system's move loop drags it over a desktop of monitors of their own scale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/placement/placement_test_scene.h"

namespace quorel::keyboard {
namespace {

using namespace desktop;
using platform::fake::FakeSystem;

const FakeSystem::Monitor kTablet{{0, 0, 1280, 800}, {0, 0, 1280, 760}, 192};
const FakeSystem::Monitor kMonitor{{1280, -200, 3200, 880}, {1280, -200, 3200, 840}, 96};

struct Step {
  platform::Point pen;
  platform::Rect window;
};

class Monitors : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpDesktop();
    platform::fake::SetMonitors({kTablet, kMonitor});
    // The art drawn at 200 %, as the package has it.
    platform::fake::System().files[u"C:\\Program Files\\Quorel\\Quorel bitmaps\\medium\\200\\Caption.png"] = "art";
    SetOption(OptionId::kSize, 2);
    ChooseDisplayScale(kTablet.dpi);
    const platform::Size size = KeyboardWindowSize(2);
    platform::PlaceWindow(kKeyboard, 400, 420, size.width, size.height);
  }
  void TearDown() override { SetDisplayDpi(96); }

  // The system's move loop: the window follows the pen, which keeps its place in it; where
  // most of the window comes onto a monitor of another scale the system asks its size there
  // (WM_GETDPISCALEDSIZE), and when the window of that size, placed so that the pen keeps
  // its place in it, lies mostly on that monitor too, it gives that rectangle with the new
  // scale (WM_DPICHANGED); the loop ends with WM_EXITSIZEMOVE. With `old`, the keyboard
  // answers a change of scale as it did before, by its stored place.
  std::vector<Step> Drag(platform::Point from, platform::Point to, int steps, bool old = false) {
    std::vector<Step> seen;
    KeyboardMoveBegan();
    platform::Rect window = RectOf(kKeyboard);
    const double fx = double(from.x - window.left) / window.Width();
    const double fy = double(from.y - window.top) / window.Height();
    int dpi = platform::fake::MonitorNearest(window)->dpi;
    for (int i = 1; i <= steps; ++i) {
      const platform::Point pen{from.x + (to.x - from.x) * i / steps,
                                from.y + (to.y - from.y) * i / steps};
      const int w = window.Width();
      const int h = window.Height();
      const int left = pen.x - static_cast<int>(std::lround(fx * w));
      const int top = pen.y - static_cast<int>(std::lround(fy * h));
      platform::PlaceWindow(kKeyboard, left, top, w, h);
      SetOption(OptionId::kX, left);  // as the keyboard stores every move of its window
      SetOption(OptionId::kY, top);
      const FakeSystem::Monitor* monitor = platform::fake::MonitorNearest(RectOf(kKeyboard));
      if (monitor->dpi != dpi) {
        const platform::Size size = KeyboardWindowSizeAt(monitor->dpi);
        const int x = pen.x - static_cast<int>(std::lround(fx * size.width));
        const int y = pen.y - static_cast<int>(std::lround(fy * size.height));
        const platform::Rect suggested{x, y, x + size.width, y + size.height};
        if (platform::fake::MonitorNearest(suggested) == monitor) {
          dpi = monitor->dpi;
          if (old) {
            ChooseDisplayScale(dpi);
            PlaceKeyboardOnWorkArea(kKeyboard);
          } else {
            TakeMonitorScale(kKeyboard, dpi, &suggested);
          }
        }
      }
      window = RectOf(kKeyboard);
      seen.push_back({pen, window});
    }
    KeyboardMoveEnded(kKeyboard);
    return seen;
  }

  static bool Under(const Step& step) {
    const platform::Rect& r = step.window;
    return step.pen.x >= r.left && step.pen.x < r.right && step.pen.y >= r.top && step.pen.y < r.bottom;
  }
  static int Sizes(const std::vector<Step>& steps) {
    int changes = 0;
    for (std::size_t i = 1; i < steps.size(); ++i) {
      if (steps[i].window.Width() != steps[i - 1].window.Width()) ++changes;
    }
    return changes;
  }
  // How far, in pixels, the pen strayed from the place in the window where it took hold.
  static int Drift(const std::vector<Step>& steps, double fx, double fy) {
    int most = 0;
    for (const Step& step : steps) {
      const platform::Rect& r = step.window;
      const int dx = static_cast<int>(std::lround(std::abs(step.pen.x - r.left - fx * r.Width())));
      const int dy = static_cast<int>(std::lround(std::abs(step.pen.y - r.top - fy * r.Height())));
      most = std::max({most, dx, dy});
    }
    return most;
  }
  static void Report(const char* what, const std::vector<Step>& steps, double fx, double fy) {
    int lost = 0;
    for (const Step& step : steps) lost += Under(step) ? 0 : 1;
    std::printf("%s: %d size changes, the pen %d pixels at most from where it held the window, "
                "outside it at %d of %zu steps\n",
                what, Sizes(steps), Drift(steps, fx, fy), lost, steps.size());
  }
};

TEST_F(Monitors, TheKeyboardCrossesToAMonitorOfAnotherScaleAndBackUnderThePen) {
  const platform::Rect start = RectOf(kKeyboard);
  const platform::Point grip{start.left + 60, start.top + 10};  // on the caption
  const double fx = 60.0 / start.Width(), fy = 10.0 / start.Height();
  const std::vector<Step> there = Drag(grip, {1700, 300}, 40);
  Report("to the monitor", there, fx, fy);
  for (const Step& step : there) EXPECT_TRUE(Under(step));
  EXPECT_LE(Drift(there, fx, fy), 1);
  EXPECT_EQ(Sizes(there), 1);
  EXPECT_EQ(DisplayDpi(), 96);
  const platform::Rect arrived = RectOf(kKeyboard);
  EXPECT_GE(arrived.left, kMonitor.work.left);
  EXPECT_LE(arrived.right, kMonitor.work.right);

  const platform::Point back_grip{arrived.left + 30, arrived.top + 5};
  const double bx = 30.0 / arrived.Width(), by = 5.0 / arrived.Height();
  const std::vector<Step> back = Drag(back_grip, {500, 700}, 40);
  Report("back to the tablet", back, bx, by);
  EXPECT_LE(Drift(back, bx, by), 1);
  EXPECT_EQ(Sizes(back), 1);
  EXPECT_EQ(DisplayDpi(), 192);
  // Ended partly below the tablet's work area: put back whole on it once the move is over.
  const platform::Rect home = RectOf(kKeyboard);
  EXPECT_LE(home.bottom, kTablet.work.bottom);
  EXPECT_EQ(home.Width(), start.Width());
}

// Docked under a client on the other monitor, the keyboard is placed at its size there; and
// a keyboard at the bottom of its work area stays at the bottom when the scale changes.
TEST_F(Monitors, DockJudgesOnTheClientsMonitorAndTheBottomStaysTheBottom) {
  platform::fake::System().windows[kClient] = {1400, 0, 2400, 600};  // on the 100 % monitor
  ProcessKey(kind::kDock, 0);
  // Moved onto a monitor of another scale, the window is told so, its corner kept.
  const platform::Rect moved = RectOf(kKeyboard);
  const int dpi = platform::fake::MonitorNearest(moved)->dpi;
  const platform::Rect suggested{moved.left, moved.top, moved.left + moved.Width() * dpi / 192,
                                 moved.top + moved.Height() * dpi / 192};
  TakeMonitorScale(kKeyboard, dpi, &suggested);
  const platform::Rect docked = RectOf(kKeyboard);
  EXPECT_EQ(docked.Width(), KeyboardWindowSizeAt(96).width);
  EXPECT_EQ(docked.top, 600);
  EXPECT_EQ(docked.left, 1400 + 500 - docked.Width() / 2);

  // Back on the tablet, at the bottom of its work area; its scale changes in the settings.
  ChooseDisplayScale(kTablet.dpi);
  const platform::Size big = KeyboardWindowSize(2);
  platform::PlaceWindow(kKeyboard, 300, kTablet.work.bottom - big.height, big.width, big.height);
  platform::fake::System().monitors[0].dpi = 96;
  TakeMonitorScale(kKeyboard, 96, nullptr);
  EXPECT_EQ(RectOf(kKeyboard).bottom, kTablet.work.bottom);
  EXPECT_LT(RectOf(kKeyboard).Width(), big.width);
}

// What the keyboard did before, for the figures: shrunk from its left edge at the crossing,
// and pushed back onto the monitor it came from.
TEST_F(Monitors, TheOldAnswerToAChangeOfScaleLostThePensPlace) {
  const platform::Rect start = RectOf(kKeyboard);
  const double fx = 60.0 / start.Width(), fy = 10.0 / start.Height();
  const std::vector<Step> there = Drag({start.left + 60, start.top + 10}, {1700, 300}, 40, true);
  Report("before: to the monitor", there, fx, fy);
  EXPECT_GT(Drift(there, fx, fy), 20);
}

}  // namespace
}  // namespace quorel::keyboard

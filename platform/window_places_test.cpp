// A window of the editor on a desktop of a monitor at 100 % and a tablet at 200 % left of
// it, the system telling the window of every change of scale as Windows does.
#include "platform/window_places.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/fake/fake_system.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace platform {
namespace {

using fake::FakeSystem;

const FakeSystem::Monitor kMonitor{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96};
const FakeSystem::Monitor kTablet{{-1280, 0, 0, 800}, {-1280, 0, 0, 760}, 192};
constexpr WindowHandle kWindow = 0x500;
constexpr Rect kEverywhere{-1280, 0, 1920, 1080};

class WindowPlaces : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::SetMonitors({kMonitor, kTablet});
  }

  // A start of the program: the window made on the primary monitor at its default size,
  // answering each change of scale with FollowScale.
  void Start() {
    fake::System().scale_followers.erase(kWindow);
    PlaceWindow(kWindow, 100, 100, 800, 600);
    fake::System().scale_followers[kWindow] = {
        96, [this](int old_dpi, int new_dpi, const Rect& suggested) {
          FollowScale(kWindow, old_dpi, new_dpi, given_rect ? &suggested : nullptr, maximised);
        }};
  }
  static Rect Now() {
    Rect rect;
    GetWindowScreenRect(kWindow, &rect);
    return rect;
  }
  static void MoveTo(int x, int y) { PlaceWindow(kWindow, x, y, Now().Width(), Now().Height()); }

  bool given_rect = true;  // false: the message came from another program
  bool maximised = false;
};

TEST_F(WindowPlaces, APlaceStoredOnTheTabletComesBackAtItsSizeAtEveryStart) {
  const Rect stored{-1200, 50, -200, 750};  // in the tablet's pixels
  for (int start = 1; start <= 3; ++start) {
    Start();
    RestorePlace(kWindow, {stored.left, stored.top}, {stored.Width(), stored.Height()}, false,
                 kEverywhere);
    EXPECT_EQ(Now(), stored) << "start " << start;
  }
  // Given at once, the stored size is scaled a second time when the system tells the
  // window of the tablet's scale.
  Start();
  PlaceWindow(kWindow, stored.left, stored.top, stored.Width(), stored.Height());
  std::printf("stored 1000 x 700 on the tablet, restored in one step: %d x %d\n", Now().Width(),
              Now().Height());

  // Nothing stored: a size in design pixels, at the scale of where it opens.
  Start();
  RestorePlace(kWindow, {-1000, 100}, {320, 300}, true, kEverywhere);
  EXPECT_EQ(Now(), (Rect{-1000, 100, -360, 700}));
  RestorePlace(kWindow, {200, 100}, {320, 300}, true, kEverywhere);
  EXPECT_EQ(Now(), (Rect{200, 100, 520, 400}));
  // A place on a monitor no longer there changes nothing.
  RestorePlace(kWindow, {-3000, 100}, {800, 600}, false, kEverywhere);
  EXPECT_EQ(Now(), (Rect{200, 100, 520, 400}));
}

TEST_F(WindowPlaces, TheWindowKeepsItsSizeOnTheGlassAcrossAndBack) {
  Start();
  MoveTo(-1200, 50);  // onto the tablet
  EXPECT_EQ(Now(), (Rect{-1200, 50, 400, 1250}));
  MoveTo(100, 100);
  EXPECT_EQ(Now(), (Rect{100, 100, 900, 700}));
  // A change of scale another program told of carries no rectangle to trust.
  given_rect = false;
  MoveTo(-1200, 50);
  EXPECT_EQ(Now(), (Rect{-1200, 50, 400, 1250}));
  // A maximised window fills its new monitor as it is.
  given_rect = true;
  maximised = true;
  MoveTo(100, 100);
  EXPECT_EQ(Now().Width(), 1600);
}

}  // namespace
}  // namespace platform

#include "keyboard/preview/slide_class.h"

#include <cmath>
#include <cstdint>

#include "library/options/options.h"

namespace quorel::keyboard {

namespace {

// 0.4142 and 2.4142, the tangents of 22.5 and 67.5 degrees, scaled so that the sector test
// stays in integers.
constexpr std::int64_t kTan22 = 4142;
constexpr std::int64_t kTan67 = 24142;
constexpr std::int64_t kScale = 10000;

int Direction(std::int64_t up, std::int64_t right) {
  // While the pen is captured a point may lie far outside the window; 64 bits keep these
  // products exact for any pair of 16-bit coordinates.
  const std::int64_t u = kScale * up;
  const std::int64_t a = kTan22 * right;
  const std::int64_t b = kTan67 * right;
  if (u > a) {
    if (u > -b) return u > b ? 1 : 2;
    return u > -a ? 8 : 7;
  }
  if (u > -b) return u <= -a ? 4 : 3;
  return u > b ? 6 : 5;
}

}  // namespace

SlideClass ClassifySlide(int x0, int y0, int x, int y) {
  SlideClass result;
  if (x == x0 && y == y0) return result;

  const std::int64_t up = static_cast<std::int64_t>(y0) - y;
  const std::int64_t right = static_cast<std::int64_t>(x) - x0;
  result.direction = Direction(up, right);

  const std::int64_t distance = GetOption(OptionId::kSlideDistance);
  const std::int64_t step = GetOption(OptionId::kSlideStep);
  // A pen far outside the window must stay a long slide, never wrap round into a tap.
  const std::int64_t squared = up * up + right * right;
  const auto beyond = static_cast<std::int64_t>(
      std::trunc(std::sqrt(static_cast<double>(squared)) - static_cast<double>(distance)));
  // The registry repairs the step to at least 5, but a value set in this process or a
  // negative one typed into the registry is kept as it is; such a step never advances the
  // level rather than dividing by zero or pointing before the first row.
  std::int64_t level = 1;
  if (step > 0 && beyond > 0) level += beyond / step;
  result.level = static_cast<int>(level);

  const bool off_the_top =
      GetOption(OptionId::kSlideToChoice) == 1 && result.direction == 1 && y < 0;
  result.is_slide = squared >= distance * distance || off_the_top;
  return result;
}

}  // namespace quorel::keyboard

#include "keyboard/preview/slide_layout.h"

#include <algorithm>

#include "keyboard/preview/slide_preview.h"

namespace quorel::keyboard {

namespace {

// Rooms are divided by the step as unsigned 32-bit numbers, as the keyboard always has: a
// pen that went down closer than the slide distance to the edge gives a negative room and
// so a huge quotient, which still allows the full list.
std::uint64_t StepsInRoom(std::int64_t room, int step) {
  if (step == 0) return kMaxSlideMatches;
  return static_cast<std::uint32_t>(room) / static_cast<std::uint32_t>(step) + std::uint64_t{1};
}

// 7/10 of a length as the unsigned 32-bit division the placement table was made with.
std::int64_t SevenTenths(std::int64_t length) {
  return static_cast<std::uint32_t>(7 * length) / 10u;
}

}  // namespace

int ListLimit(const SlideSnapshot& s, int direction, bool slide_to_choice) {
  const std::int64_t d = s.distance;
  const std::int64_t left = static_cast<std::int64_t>(s.down.x) - s.virtual_left;
  const std::int64_t right = static_cast<std::int64_t>(s.virtual_right) - s.down.x;
  const std::int64_t top = static_cast<std::int64_t>(s.down.y) - s.virtual_top;
  const std::int64_t bottom = static_cast<std::int64_t>(s.virtual_bottom) - s.down.y;
  // The diagonal reaches as far as the nearer of its two edges allows, times about sqrt 2.
  const auto diagonal = [&](std::int64_t a, std::int64_t b) {
    return StepsInRoom(std::min(a, b) * 14 / 10 - d, s.step);
  };

  std::uint64_t limit = 1;
  switch (direction) {
    case 1:
      limit = StepsInRoom(top - d, s.step);
      // Sliding to a row of a list above the keyboard reaches every row that fits there.
      if (slide_to_choice && s.row_height > 0) {
        const std::int64_t fitting =
            (static_cast<std::int64_t>(s.keyboard.top) - s.virtual_top) / s.row_height;
        if (fitting > 0 && static_cast<std::uint64_t>(fitting) > limit) {
          limit = static_cast<std::uint64_t>(fitting);
        }
      }
      break;
    case 2:
      limit = diagonal(right, top);
      break;
    case 3:
      limit = StepsInRoom(right - d, s.step);
      break;
    case 4:
      limit = diagonal(right, bottom);
      break;
    case 5:
      limit = StepsInRoom(bottom - d, s.step);
      break;
    case 6:
      limit = diagonal(left, bottom);
      break;
    case 7:
      limit = StepsInRoom(left - d, s.step);
      break;
    case 8:
      limit = diagonal(left, top);
      break;
    default:
      break;
  }
  return static_cast<int>(std::min<std::uint64_t>(limit, kMaxSlideMatches));
}

bool ListGoesAbove(const SlideSnapshot& s, int rows) {
  const std::int64_t room_above = static_cast<std::int64_t>(s.keyboard.top) - s.monitor.top;
  const std::int64_t room_below = static_cast<std::int64_t>(s.monitor.bottom) - s.keyboard.bottom;
  const std::int64_t height = static_cast<std::int64_t>(s.row_height) * rows +
                              2 * static_cast<std::int64_t>(s.border_height);
  return room_above >= room_below || height <= room_above;
}

std::int64_t ListLeftEdge(const SlideSnapshot& s, int direction, int position, int rows,
                          int width) {
  const std::int64_t px = s.down.x;
  const std::int64_t w = width;
  const std::int64_t d = s.distance;
  // How far the pen travels to reach the last row.
  const std::int64_t a = static_cast<std::int64_t>(std::max(rows - 1, 0)) * s.step + d;
  if (position == 1) {
    switch (direction) {
      case 2:
      case 4:
        return px + SevenTenths(d) - w;
      case 3:
        return px + d - w;
      case 6:
      case 8:
        return px - SevenTenths(a) - w;
      case 7:
        return px - a - w;
      default:
        return px - w;
    }
  }
  if (position == 2) {
    switch (direction) {
      case 2:
      case 4:
        return px + SevenTenths(a);
      case 3:
        return px + a;
      case 6:
      case 8:
        return px - SevenTenths(d);
      case 7:
        return px - d;
      default:
        return px;
    }
  }
  return px - w / 2;
}

int ClampIntoWorkArea(std::int64_t left, int width, const platform::Rect& work) {
  left = std::min(left, static_cast<std::int64_t>(work.right) - width);
  left = std::max(left, static_cast<std::int64_t>(work.left));
  return static_cast<int>(left);
}

int RowForLevel(int level, int rows, bool reversed_order) {
  if (rows <= 0) return -1;
  const int from_keyboard = std::clamp(level - 1, 0, rows - 1);
  return reversed_order ? rows - 1 - from_keyboard : from_keyboard;
}

}  // namespace quorel::keyboard

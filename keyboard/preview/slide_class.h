// A pen movement as a slide: one of eight directions, and a level that grows with length.
#pragma once

namespace quorel::keyboard {

struct SlideClass {
  bool is_slide = false;
  int direction = 0;  // 1 N .. 8 NW clockwise; 0 none
  int level = 0;      // 1 for the first step of a slide, growing with its length
};

// The movement from the pen-down point (x0, y0) to (x, y), in client coordinates, with the
// options "Slide distance", "Slide step" and "Slide to choice".
SlideClass ClassifySlide(int x0, int y0, int x, int y);

}  // namespace quorel::keyboard

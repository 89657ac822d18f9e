// How long the keyboard program takes to answer the pen, measured in the program itself.
// With QUOREL_TIMINGS naming a file, the program times pen down to the key shown pressed
// and to the first input it injects, a pen move to the updated preview, the whole pen up
// (the key or slide performed and the suggestions found for it), the time from the
// process's creation to its first painted keyboard, and the reading of the word lists; it
// writes medians, 99th percentiles, the images it holds and its peak working set there
// when it ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorel::keyboard {

class PenTimings {
 public:
  PenTimings();
  bool enabled() const { return !path_.empty(); }
  static LONGLONG Now();
  // Marks the start of a pen down; the highlight and the first input are timed from it.
  void StartDown();
  void EndDown();
  void Highlighted();
  void InputSent();
  void AddMove(LONGLONG start);
  void AddUp(LONGLONG start);
  // The word lists were read, from `start`.
  void WordsRead(LONGLONG start);
  // The keyboard was painted: the first time marks how long the start took.
  void Painted();
  void Write() const;

 private:
  double Since(LONGLONG start) const;

  std::wstring path_;
  double ticks_per_microsecond_ = 1;
  LONGLONG down_start_ = 0;
  bool highlighted_ = false;
  bool inputs_seen_ = false;
  std::vector<double> highlights_;
  std::vector<double> first_inputs_;
  std::vector<double> downs_;
  std::vector<double> moves_;
  std::vector<double> ups_;
  double first_paint_ms_ = -1;
  double words_read_ms_ = -1;
};

}  // namespace quorel::keyboard

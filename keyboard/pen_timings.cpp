#include "keyboard/pen_timings.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

#include "platform/drawing.h"

namespace quorel::keyboard {

namespace {

void Report(FILE* file, const char* what, std::vector<double> samples) {
  if (samples.empty()) {
    std::fprintf(file, "%s: no samples\n", what);
    return;
  }
  std::sort(samples.begin(), samples.end());
  const double median = samples[samples.size() / 2];
  const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  std::fprintf(file, "%s: %zu samples, median %.0f us, 99th percentile %.0f us\n", what,
               samples.size(), median, p99);
}

constexpr double kMegabyte = 1024.0 * 1024.0;

}  // namespace

PenTimings::PenTimings() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"QUOREL_TIMINGS", path, MAX_PATH) > 0) path_ = path;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ticks_per_microsecond_ = static_cast<double>(frequency.QuadPart) / 1e6;
}

LONGLONG PenTimings::Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double PenTimings::Since(LONGLONG start) const {
  return static_cast<double>(Now() - start) / ticks_per_microsecond_;
}

void PenTimings::StartDown() {
  down_start_ = Now();
  highlighted_ = inputs_seen_ = false;
}

void PenTimings::EndDown() {
  downs_.push_back(Since(down_start_));
  down_start_ = 0;
}

void PenTimings::Highlighted() {
  if (down_start_ == 0 || highlighted_) return;
  highlighted_ = true;
  highlights_.push_back(Since(down_start_));
}

void PenTimings::InputSent() {
  if (down_start_ == 0 || inputs_seen_) return;
  inputs_seen_ = true;
  first_inputs_.push_back(Since(down_start_));
}

void PenTimings::AddMove(LONGLONG start) { moves_.push_back(Since(start)); }

void PenTimings::AddUp(LONGLONG start) { ups_.push_back(Since(start)); }

void PenTimings::WordsRead(LONGLONG start) { words_read_ms_ = Since(start) / 1000; }

void PenTimings::Painted() {
  if (first_paint_ms_ >= 0) return;
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  // File times count 100 ns.
  first_paint_ms_ = static_cast<double>(ticks(now) - ticks(created)) / 1e4;
}

void PenTimings::Write() const {
  if (!enabled()) return;
  FILE* file = _wfopen(path_.c_str(), L"w");
  if (file == nullptr) return;
  Report(file, "pen down to highlight", highlights_);
  Report(file, "pen down to first input", first_inputs_);
  Report(file, "whole pen down handler", downs_);
  Report(file, "pen move to updated preview", moves_);
  Report(file, "whole pen up handler", ups_);
  if (first_paint_ms_ >= 0) {
    std::fprintf(file, "start to first painted keyboard: %.0f ms\n", first_paint_ms_);
  }
  if (words_read_ms_ >= 0) {
    std::fprintf(file, "word lists read: %.1f ms\n", words_read_ms_);
  }
  std::fprintf(file, "images in memory: %.2f MB\n",
               static_cast<double>(platform::ImagesInMemory()) / kMegabyte);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory))) {
    std::fprintf(file, "peak working set: %.1f MB\n",
                 static_cast<double>(memory.PeakWorkingSetSize) / kMegabyte);
  }
  std::fclose(file);
}

}  // namespace quorel::keyboard

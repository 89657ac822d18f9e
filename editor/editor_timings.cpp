#include "editor/editor_timings.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace quorel::editor {

namespace {

struct Record {
  bool checked = false;
  std::wstring path;
  std::map<std::string, std::vector<double>> samples;  // milliseconds
};

Record& Timings() {
  static Record record;
  if (!record.checked) {
    record.checked = true;
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUOREL_TIMINGS", path, MAX_PATH) > 0) record.path = path;
  }
  return record;
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

Timer::Timer(const char* what) : what_(what), start_(Timings().path.empty() ? 0 : Now()) {}

Timer::~Timer() {
  if (start_ != 0) Timings().samples[what_].push_back(Milliseconds(Now() - start_));
}

void NoteReady() {
  if (Timings().path.empty()) return;
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  GetSystemTimePreciseAsFileTime(&now);
  const auto value = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  // File times count tenths of microseconds.
  Timings().samples["window ready"].push_back(static_cast<double>(value(now) - value(created)) / 1e4);
}

void WriteTimings() {
  const Record& record = Timings();
  if (record.path.empty()) return;
  FILE* file = _wfopen(record.path.c_str(), L"w");
  if (file == nullptr) return;
  for (const auto& [what, values] : record.samples) {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    std::fprintf(file, "%s: %zu samples, median %.1f ms, max %.1f ms\n", what.c_str(),
                 sorted.size(), sorted[sorted.size() / 2], sorted.back());
  }
  std::fclose(file);
}

}  // namespace quorel::editor

// What a pen user waits for, measured on the engine over the in-memory system: a pen move
// that keeps its direction, one that turns and fills the preview anew, pen down to the
// first injected input, the suggestion list after a key, and a tap after the end of a
// sentence with the typing rules and without. A slide set of 20,000 definitions and a
// glossary of 100,000 entries stand behind them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "keyboard/expansion/expansion.h"
#include "keyboard/expansion/typing_rules.h"
#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/panels.h"
#include "keyboard/pen/pen.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tests/support/keyboard_scene.h"

namespace quorel::keyboard {
namespace {

using scene::CentreOf;

void ForgetRecordings() {
  auto& system = platform::fake::System();
  system.input_calls.clear();
  system.draws.clear();
  system.messages.clear();
  system.sleeps.clear();
}

// A large keyboard low on a 1920 x 1080 screen, with its slides and its glossary loaded.
void SetUpKeyboard() {
  static bool done = false;
  if (done) return;
  done = true;
  scene::BuildKeyboard({3, 1920, 1080, {700, 700}});
  SetOption(OptionId::kMinimumHighlightTime, 0);

  SlideSet& slides = KeyboardSlides();
  const std::u16string keys = u"abcdefghijklmnopqrstuvwxyz\u00e9\u00e8\u00e0\u00e7\u00f9";
  for (int i = 0; i < 20000; ++i) {
    const int direction = 1 + i % 8;
    const char16_t key = keys[static_cast<std::size_t>(i / 8) % keys.size()];
    slides.Add(direction, kind::kCharacter, key, nullptr,
               (u"slide text " + std::u16string(1, key) + u" " +
                std::u16string(static_cast<std::size_t>(i % 40), u'x'))
                   .c_str());
  }
  Glossary& glossary = KeyboardGlossary();
  for (int i = 0; i < 100000; ++i) {
    std::u16string short_form;
    for (int n = i; short_form.size() < 4; n /= 26) {
      short_form.push_back(static_cast<char16_t>(u'a' + n % 26));
    }
    glossary.Add(short_form.c_str(), nullptr, (u"long form of " + short_form).c_str(), nullptr);
  }
}

void BM_PenMoveKeepingItsDirection(benchmark::State& state) {
  SetUpKeyboard();
  const platform::Point key = CentreOf(kind::kCharacter, u'a');
  PenDown(key.x, key.y);
  PenMove(key.x, key.y - 60);  // the list is filled once here
  int step = 0;
  for (auto _ : state) {
    PenMove(key.x + step % 3, key.y - 60 - step % 40);
    ++step;
  }
  PenUp(key.x, key.y);
  ForgetRecordings();
}
BENCHMARK(BM_PenMoveKeepingItsDirection);

void BM_PenMoveTurning(benchmark::State& state) {
  SetUpKeyboard();
  const platform::Point key = CentreOf(kind::kCharacter, u'h');
  PenDown(key.x, key.y);
  bool north = false;
  for (auto _ : state) {
    north = !north;
    // Each turn looks the key up again, fills the list and places it.
    PenMove(north ? key.x : key.x + 60, north ? key.y - 60 : key.y);
  }
  PenUp(key.x, key.y);
  ForgetRecordings();
}
BENCHMARK(BM_PenMoveTurning);

void BM_PenDownToFirstInput(benchmark::State& state) {
  SetUpKeyboard();
  const platform::Point key = CentreOf(kind::kCharacter, u'q');
  for (auto _ : state) {
    PenDown(key.x, key.y);  // the character goes out at pen down
    state.PauseTiming();
    PenUp(key.x, key.y);
    ForgetRecordings();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PenDownToFirstInput);

void BM_RefreshSuggestions(benchmark::State& state) {
  SetUpKeyboard();
  TrackTypedKey(kind::kSpace, 0);
  TrackTypedKey(kind::kCharacter, u'k');
  TrackTypedKey(kind::kCharacter, u'q');
  for (auto _ : state) RefreshSuggestions();
  ForgetRecordings();
}
BENCHMARK(BM_RefreshSuggestions);

// A tap of a letter after a word and Enter, pen down to pen up, with the typing rules on (1:
// the capital after a sentence, two spaces) and off (0), in one run; the median and the 99th
// percentile of the taps are its counters, in microseconds.
void BM_TapAfterASentence(benchmark::State& state) {
  SetUpKeyboard();
  SetOption(OptionId::kCapitalAfterSentence, static_cast<int>(state.range(0)));
  SetOption(OptionId::kPeriodWithTwoSpaces, static_cast<int>(state.range(0)));
  const platform::Point letter = CentreOf(kind::kCharacter, u'k');
  const platform::Point enter = CentreOf(kind::kEnter, 0);
  const platform::Point key = CentreOf(kind::kCharacter, u'q');
  std::vector<double> taps;
  for (auto _ : state) {
    state.PauseTiming();
    for (const platform::Point& point : {letter, enter}) {
      PenDown(point.x, point.y);
      PenUp(point.x, point.y);
    }
    ForgetRecordings();
    if (CapitalPending() != (state.range(0) != 0)) {
      state.SkipWithError("the sentence's end did not reach the typing rules");
      break;
    }
    state.ResumeTiming();
    const auto started = std::chrono::steady_clock::now();
    PenDown(key.x, key.y);
    PenUp(key.x, key.y);
    taps.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() -
                                                              started).count());
    state.PauseTiming();
    ForgetRecordings();
    state.ResumeTiming();
  }
  std::sort(taps.begin(), taps.end());
  if (!taps.empty()) {
    state.counters["median_us"] = taps[taps.size() / 2];
    state.counters["p99_us"] = taps[std::min(taps.size() - 1, taps.size() * 99 / 100)];
  }
}
BENCHMARK(BM_TapAfterASentence)->Arg(0)->Arg(1)->Iterations(2000);

}  // namespace
}  // namespace quorel::keyboard

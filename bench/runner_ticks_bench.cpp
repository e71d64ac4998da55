// bench_runner_ticks [--min-ratio R] [--rounds N] [--ticks T]: the headless runner's race ticks
// per second (`race 1`, then T ticks, drawing included) against a bare frame of the same size
// (clear, one full-screen picture copied in rows, the copy a presenter makes), run from the
// build folder, which holds Data/.
//
// The two are timed in alternating slices of one run, in the thread's CPU time, so a busy
// machine slows both alike and their ratio stays; each round is a fresh game and the median
// round counts. With --min-ratio the program fails (exit 1) when the ratio is below it.
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

#include "runner/script_runner.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSliceTicks = 100;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The least any frame costs: written with the C library alone, so no change to the game's
// drawing code can move the yardstick.
class BareFrame {
 public:
  BareFrame() : back_(kPixels), picture_(kPixels), presented_(kPixels) {
    for (std::size_t i = 0; i < kPixels; ++i) picture_[i] = static_cast<std::uint16_t>(i * 40503u);
  }

  void Draw(int frame) {
    std::memset(back_.data(), 0, kPixels * sizeof(std::uint16_t));
    const int scroll = frame % kHeight;
    for (int y = 0; y < kHeight; ++y) {
      const std::size_t source = static_cast<std::size_t>((y + scroll) % kHeight) * kWidth;
      std::memcpy(back_.data() + static_cast<std::size_t>(y) * kWidth, picture_.data() + source,
                  kWidth * sizeof(std::uint16_t));
    }
    std::memcpy(presented_.data(), back_.data(), kPixels * sizeof(std::uint16_t));
  }
  std::uint16_t Corner() const { return presented_[kPixels - 1]; }

 private:
  static constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;
  std::vector<std::uint16_t> back_, picture_, presented_;
};

struct Round {
  double RunnerSeconds = 0;
  double BareSeconds = 0;
  long Ticks = 0;
  double Ratio() const { return BareSeconds / RunnerSeconds; }
};

// One fresh game: slices of runner ticks, each followed by as many bare frames.
Round RunRound(long ticks, BareFrame& bare, unsigned& sink) {
  std::ostringstream discarded;
  rivoltra::ScriptRunner runner(discarded);
  runner.Start();
  runner.Execute("race 1");
  Round round;
  for (long done = 0; done < ticks; done += kSliceTicks) {
    const long slice = std::min<long>(kSliceTicks, ticks - done);
    double start = ThreadSeconds();
    if (!runner.Execute("tick " + std::to_string(slice))) break;
    round.RunnerSeconds += ThreadSeconds() - start;
    start = ThreadSeconds();
    for (long i = 0; i < slice; ++i) bare.Draw(static_cast<int>(done + i));
    round.BareSeconds += ThreadSeconds() - start;
    sink += bare.Corner();
    round.Ticks += slice;
  }
  return round;
}

struct Options {
  double MinRatio = 0;
  int Rounds = 5;
  long Ticks = 3000;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    char* end = nullptr;
    if (name == "--min-ratio") {
      options.MinRatio = std::strtod(argv[i + 1], &end);
    } else if (name == "--rounds") {
      options.Rounds = static_cast<int>(std::strtol(argv[i + 1], &end, 10));
    } else if (name == "--ticks") {
      options.Ticks = std::strtol(argv[i + 1], &end, 10);
    } else {
      return false;
    }
    if (end == argv[i + 1] || *end != '\0') return false;
  }
  return argc % 2 == 1 && options.Rounds >= 1 && options.Rounds <= 50 && options.Ticks >= 1 &&
         options.Ticks <= 1000000 && options.MinRatio >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: bench_runner_ticks [--min-ratio R] [--rounds N] [--ticks T]\n");
    return 2;
  }
  BareFrame bare;
  unsigned sink = 0;
  std::vector<Round> rounds;
  try {
    for (int i = 0; i < options.Rounds; ++i) rounds.push_back(RunRound(options.Ticks, bare, sink));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_runner_ticks: %s\n", e.what());
    return 2;
  }
  std::sort(rounds.begin(), rounds.end(),
            [](const Round& a, const Round& b) { return a.Ratio() < b.Ratio(); });
  const Round& median = rounds[rounds.size() / 2];
  for (const Round& round : rounds) {
    std::printf("round: %.0f runner ticks/s, %.0f bare frames/s, ratio %.3f\n",
                static_cast<double>(round.Ticks) / round.RunnerSeconds,
                static_cast<double>(round.Ticks) / round.BareSeconds, round.Ratio());
  }
  std::printf("median: %.0f runner ticks/s (CPU), ratio to the bare frame %.3f (sink %u)\n",
              static_cast<double>(median.Ticks) / median.RunnerSeconds, median.Ratio(), sink);
  if (median.Ratio() < options.MinRatio) {
    std::printf("FAIL: ratio %.3f is below %.3f\n", median.Ratio(), options.MinRatio);
    return 1;
  }
  return 0;
}

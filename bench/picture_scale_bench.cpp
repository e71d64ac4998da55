// The 800 x 600 picture scaled into a window's 32-bit frame buffer on the processor, sharp and
// smooth, at 1x to 3x and at the 1.8x of a 1920 x 1080 full screen; beside them the floor of
// writing a 3x frame at all (memset). Every frame changes every pixel (the scaler draws only what
// changed), except in the race-like cases, where the middle half of every row changes as a
// scrolling road does and the panels either side stay. Between frames another thread reads the
// whole frame buffer, as the X server does when it copies the frame to the screen from the other
// core, so that the frame buffer is not left warm in this core's cache as it never is in the game.

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/picture_scaler.h"

namespace rivoltra {
namespace {

constexpr int kPictureWidth = 800, kPictureHeight = 600;

// Two pictures to show in turn: different in every pixel, or only in the middle half of each row.
std::array<Surface, 2> Pictures(bool wholeFrame) {
  std::array<Surface, 2> pictures{Surface(kPictureWidth, kPictureHeight),
                                  Surface(kPictureWidth, kPictureHeight)};
  std::uint32_t state = 2024;
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      state = state * 1664525u + 1013904223u;
      const auto pixel = static_cast<Pixel565>(state >> 16);
      const bool changes = wholeFrame || (x >= kPictureWidth / 4 && x < kPictureWidth * 3 / 4);
      pictures[0].Set(x, y, pixel);
      pictures[1].Set(x, y, changes ? static_cast<Pixel565>(~pixel) : pixel);
    }
  }
  return pictures;
}

// A frame buffer that a second thread reads through on request, as the display server would.
class SharedFrameBuffer {
 public:
  SharedFrameBuffer(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {
    reader_ = std::thread([this] { ReadWhenAsked(); });
  }
  ~SharedFrameBuffer() {
    stop_ = true;
    reader_.join();
  }
  SharedFrameBuffer(const SharedFrameBuffer&) = delete;
  SharedFrameBuffer& operator=(const SharedFrameBuffer&) = delete;

  PixelTarget Target() {
    return PixelTarget{pixels_.data(), static_cast<std::ptrdiff_t>(width_ * sizeof(std::uint32_t)),
                       width_, height_, PixelLayout{}};
  }
  // Has the other thread read every pixel, and waits until it has.
  void ShowFrame() {
    readRequested_ = true;
    while (readRequested_) std::this_thread::yield();
  }

 private:
  void ReadWhenAsked() {
    while (!stop_) {
      if (!readRequested_) {
        std::this_thread::yield();
        continue;
      }
      std::uint32_t sum = 0;
      for (const std::uint32_t pixel : pixels_) sum += pixel;
      benchmark::DoNotOptimize(sum);
      readRequested_ = false;
    }
  }

  int width_, height_;
  std::vector<std::uint32_t> pixels_;
  std::atomic<bool> readRequested_{false};
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

void ScalePicture(benchmark::State& state, int width, int height, ScaleFilter filter,
                  bool wholeFrame = true) {
  const std::array<Surface, 2> pictures = Pictures(wholeFrame);
  SharedFrameBuffer frame(width, height);
  const PixelTarget target = frame.Target();
  PictureScaler scaler;
  scaler.Draw(pictures[1], target, Bounds(0, 0, width, height), filter);
  std::size_t shown = 0;
  for (auto _ : state) {
    shown ^= 1;
    scaler.Draw(pictures[shown], target, Bounds(0, 0, width, height), filter);
    state.PauseTiming();
    frame.ShowFrame();
    state.ResumeTiming();
  }
}

void SharpScale(benchmark::State& state) {
  const auto scale = static_cast<int>(state.range(0));
  ScalePicture(state, kPictureWidth * scale, kPictureHeight * scale, ScaleFilter::Nearest);
}
BENCHMARK(SharpScale)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void SmoothScale(benchmark::State& state) {
  const auto scale = static_cast<int>(state.range(0));
  ScalePicture(state, kPictureWidth * scale, kPictureHeight * scale, ScaleFilter::Linear);
}
BENCHMARK(SmoothScale)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void SharpScaleRace(benchmark::State& state) {
  const auto scale = static_cast<int>(state.range(0));
  ScalePicture(state, kPictureWidth * scale, kPictureHeight * scale, ScaleFilter::Nearest, false);
}
BENCHMARK(SharpScaleRace)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void SmoothScaleRace(benchmark::State& state) {
  ScalePicture(state, kPictureWidth * 3, kPictureHeight * 3, ScaleFilter::Linear, false);
}
BENCHMARK(SmoothScaleRace)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 full screen shows the picture 1440 x 1080: no whole multiple.
void SharpScaleFullScreen(benchmark::State& state) {
  ScalePicture(state, 1440, 1080, ScaleFilter::Nearest);
}
BENCHMARK(SharpScaleFullScreen)->Unit(benchmark::kMillisecond);

void SmoothScaleFullScreen(benchmark::State& state) {
  ScalePicture(state, 1440, 1080, ScaleFilter::Linear);
}
BENCHMARK(SmoothScaleFullScreen)->Unit(benchmark::kMillisecond);

// Writing every byte of a 3x frame and nothing else.
void ClearFrame3x(benchmark::State& state) {
  SharedFrameBuffer frame(kPictureWidth * 3, kPictureHeight * 3);
  const PixelTarget target = frame.Target();
  for (auto _ : state) {
    std::memset(target.Pixels, 0, static_cast<std::size_t>(target.PitchBytes) * target.Height);
    state.PauseTiming();
    frame.ShowFrame();
    state.ResumeTiming();
  }
}
BENCHMARK(ClearFrame3x)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rivoltra

BENCHMARK_MAIN();

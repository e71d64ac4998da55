// One race frame's drawing into an 800 x 600 back buffer: the endless road, 40 colour-keyed
// image sprites, the rotated speed needle and four lines of 24-pixel glyphs.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "base/random.h"
#include "engine/display_notices.h"
#include "engine/image_list.h"
#include "engine/sprite_background.h"
#include "engine/sprite_engine_component.h"
#include "engine/sprite_image.h"

namespace rivoltra {
namespace {

class BenchDisplay final : public DisplayPublisher {
 public:
  void Subscribe(DisplaySubscriber& s) override { subscribers_.push_back(&s); }
  void Unsubscribe(DisplaySubscriber& s) override { std::erase(subscribers_, &s); }
  bool IsInitialized() const override { return initialized_; }
  Surface& BackBuffer() override { return backBuffer_; }
  void Initialize() {
    initialized_ = true;
    for (DisplaySubscriber* s : subscribers_) s->DisplayInitialized(backBuffer_);
  }

 private:
  Surface backBuffer_{800, 600};
  std::vector<DisplaySubscriber*> subscribers_;
  bool initialized_ = false;
};

// A picture with a black (key) border and frame-dependent noise inside, like a sprite sheet.
ImageItemData Sheet(const char* name, int patternWidth, int patternHeight, int patterns,
                    RandomGenerator& random) {
  ImageItemData item;
  item.Name = name;
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.Image.Width = patternWidth * patterns;
  item.Image.Height = patternHeight;
  for (int y = 0; y < item.Image.Height; ++y) {
    for (int x = 0; x < item.Image.Width; ++x) {
      const int u = x % patternWidth;
      const bool border = u < patternWidth / 6 || u >= patternWidth - patternWidth / 6 ||
                          y < patternHeight / 8 || y >= patternHeight - patternHeight / 8;
      item.Image.Pixels.push_back(border ? 0u : 0x202020u + random.Next(0xDFDFDF));
    }
  }
  return item;
}

class RaceFrame {
 public:
  RaceFrame() {
    RandomGenerator random;
    random.Seed(1234);
    list_.Items().Add(Sheet("Road", 800, 600, 1, random));
    list_.Items().Add(Sheet("Car", 48, 80, 4, random));
    list_.Items().Add(Sheet("Pointer", 39, 23, 1, random));
    list_.Items().Add(Sheet("Font_small", 24, 24, 60, random));
    list_.SetDisplay(&display_);
    component_.SetDisplay(&display_);
    display_.Initialize();

    road_ = new BackgroundSprite(&component_.Engine());
    road_->Image = &list_.ItemByName("Road");
    road_->SetGridSize(1, 1);
    road_->Endless = true;
    road_->SetZ(1);
    for (int i = 0; i < 40; ++i) {
      auto* car = new ImageSprite(&component_.Engine());
      car->Image = &list_.ItemByName("Car");
      car->Width = 48;
      car->Height = 80;
      car->FrameCount = 4;
      car->FrameLooped = true;
      car->FrameSpeed = 0.15;
      car->X = random.Next(800 - 48);
      car->Y = random.Next(600 + 80) - 80.0;
      car->SetZ(2 + i % 3);
    }
  }

  void Draw(int tick) {
    Surface& back = display_.BackBuffer();
    back.Fill(0);
    road_->Y = tick * 5 % 600;
    component_.MoveSprites(1);
    component_.DrawSprites();
    list_.ItemByName("Pointer").DrawRotate(back, 736, 537, 39, 23, 0, 0.10256410256410256,
                                           0.8695652173913043, tick % 200);
    const ImageItem& font = list_.ItemByName("Font_small");
    for (int line = 0; line < 4; ++line) {
      for (int column = 0; column < 30; ++column) {
        font.Draw(back, 20 + column * 19, 20 + line * 30, (line * 30 + column) % 60);
      }
    }
  }

  const Surface& BackBuffer() { return display_.BackBuffer(); }

 private:
  BenchDisplay display_;
  ImageList list_;
  DisplaySpriteEngine component_;
  BackgroundSprite* road_ = nullptr;
};

void RaceFrameDraw(benchmark::State& state) {
  RaceFrame frame;
  int tick = 0;
  for (auto _ : state) {
    frame.Draw(tick++);
    benchmark::DoNotOptimize(frame.BackBuffer().Pixels().data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RaceFrameDraw)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// Building the patterns of the game's archives, as every display initialisation does. Run from
// a build folder that holds Data/Res.
void ArchivePatternBuild(benchmark::State& state) {
  ImageList list;
  try {
    list.Items().LoadArchive(state.range(0) == 1 ? "Data/Res/Res1.gfx" : "Data/Res/Res3.gfx");
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  BenchDisplay display;
  list.SetDisplay(&display);
  for (auto _ : state) {
    display.Initialize();
    benchmark::DoNotOptimize(list.Items().Count());
  }
}
BENCHMARK(ArchivePatternBuild)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rivoltra

BENCHMARK_MAIN();

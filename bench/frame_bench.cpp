// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one frame on the real raster canvas, at the window's own 682 × 476
// pixels and maximised on a full-HD or (at scale 2) a 4K screen, beside the
// straightforward drawing of the same frame: the frame rules word for word,
// every call handed to QPainter as it stands.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>

#include "form/raster_canvas.h"
#include "full/controls.h"
#include "scene/wave_scene.h"
#include "tests/plain_canvas.h"
#include "tests/support/literal_frame.h"
#include "tests/support/recording_canvas.h"
#include "window/form_model.h"

namespace wave {
namespace {

constexpr double kTwipsPerPixel = 15;
const QSize kPixels(682, 476);

struct Case {
  const char* t1;
  const char* t2;
  std::int64_t front;  // radius drawn
  int layers = 7;      // 1 antinodal, 2 nodal, 4 crossing markers
  const char* t3 = "100";
  QSize pixels = kPixels;  // logical size of the window
  double ratio = 1;        // device pixels per logical pixel
  WaterView water = WaterView::kNone;
};

Case Shaded(Case c, WaterView water) {
  c.water = water;
  return c;
}

// The same case in a larger window: maximised on a full-HD screen, or on a
// 4K screen at scale 2 (1920 × 1080 logical, 3840 × 2160 device pixels).
Case InWindow(Case c, QSize pixels, double ratio) {
  c.pixels = pixels;
  c.ratio = ratio;
  return c;
}

Case Dots(const char* t1, const char* t3, std::int64_t front) {
  Case c{t1, "6", front, 7, t3};
  return c;
}

void Configure(WaveScene& scene, const Case& c) {
  scene.InitScene();
  scene.ShowAntinodal = c.layers & 1;
  scene.ShowNodal = (c.layers >> 1) & 1;
  scene.ShowCrossings = (c.layers >> 2) & 1;
  scene.Water = c.water;
  scene.FrontRadius = c.front - 100;
}

// The raster canvas at window size, with a scene reading the case's texts.
struct CanvasFrames {
  explicit CanvasFrames(const Case& c)
      : canvas(c.pixels, kTwipsPerPixel, c.ratio, QColor(240, 240, 240)) {
    form.text1 = c.t1;
    form.text2 = c.t2;
    form.text3 = c.t3;
  }
  void Draw() {
    scene.StepFrame();
    canvas.Flush();
    benchmark::DoNotOptimize(canvas.image().constBits());
  }
  RasterCanvas canvas;
  testing::FakeForm form;
  WaveScene scene{Edition::Full, canvas, form};
};

// With SARVEL_BENCH_FRAMES set to a folder, each repeated frame is saved
// there, named after its case, to compare one build's pictures with
// another's.
void SaveFrame(const CanvasFrames& frames, const Case& c) {
  const QByteArray folder = qgetenv("SARVEL_BENCH_FRAMES");
  if (folder.isEmpty()) return;
  const QString name = QString("%1/%2_%3_%4_r%5_l%6_%7x%8x%9.png")
                           .arg(QString::fromUtf8(folder), c.t1, c.t2, c.t3)
                           .arg(c.front)
                           .arg(c.layers)
                           .arg(c.pixels.width())
                           .arg(c.pixels.height())
                           .arg(c.ratio);
  frames.canvas.image().save(name);
}

void Frame(benchmark::State& state, Case c) {
  CanvasFrames frames(c);
  struct Saved {
    const CanvasFrames& f;
    const Case& c;
    ~Saved() { SaveFrame(f, c); }
  } saved{frames, c};
  // Repeated: what the canvas keeps of the first two frames is in place.
  for (int i = 0; i < 2; ++i) {
    Configure(frames.scene, c);
    frames.Draw();
  }
  for (auto _ : state) {
    Configure(frames.scene, c);
    frames.Draw();
  }
}

// Edits the wavelength to one of its own, a millionth from the last, and
// draws the frame: nothing drawn before (hyperbolas, rings) serves again.
class Edits {
 public:
  explicit Edits(const Case& c) : wavelength_(std::stod(c.t1)) {}
  void DrawNext(CanvasFrames& frames, const Case& c) {
    char text[32];
    std::snprintf(
        text, sizeof text, "%.9g",
        wavelength_ * (1 + 1e-6 * static_cast<double>(++edits_ % 50000)));
    frames.form.text1 = text;
    Configure(frames.scene, c);
    frames.Draw();
  }

 private:
  double wavelength_;
  std::int64_t edits_ = 0;
};

// The first frame after an edit.
void FirstAfterEdit(benchmark::State& state, Case c) {
  CanvasFrames frames(c);
  Edits edits(c);
  for (auto _ : state) edits.DrawNext(frames, c);
}

// The second frame after an edit: the rings come round for the first time,
// and the canvas decides which to keep.
void SecondAfterEdit(benchmark::State& state, Case c) {
  CanvasFrames frames(c);
  Edits edits(c);
  for (auto _ : state) {
    state.PauseTiming();
    edits.DrawNext(frames, c);
    state.ResumeTiming();
    Configure(frames.scene, c);
    frames.Draw();
  }
}

// Frames as the animation draws them, radius after radius from the one
// named, for a thousand ticks and round again: what was kept of earlier
// frames serves only when radii come round, as they do on screen. The
// first frame, which works out what those after it keep while nothing is
// edited (the water's values), is drawn before the timing: the first frame
// after an edit has cases of its own.
void Animated(benchmark::State& state, Case c) {
  CanvasFrames frames(c);
  Configure(frames.scene, c);
  frames.Draw();
  for (auto _ : state) {
    if (frames.scene.FrontRadius >= c.front + 100'000) {
      Configure(frames.scene, c);
    }
    frames.Draw();
  }
}

// Mean seconds of a frame on the raster canvas, as Frame measures it.
double CanvasFrameSeconds(const Case& c) {
  CanvasFrames frames(c);
  const auto frame = [&] {
    Configure(frames.scene, c);
    frames.Draw();
  };
  frame();  // what the canvas keeps is in place
  frame();
  constexpr int kFrames = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kFrames; ++i) frame();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
             .count() /
         kFrames;
}

// The word-for-word frame, every call handed to QPainter; its counter
// `speed-up` is how many times slower it is than the raster canvas.
void Straightforward(benchmark::State& state, Case c) {
  testing::PlainCanvas canvas(c.pixels, kTwipsPerPixel, QColor(240, 240, 240),
                              c.ratio);
  testing::FakeForm form;
  form.text1 = c.t1;
  form.text2 = c.t2;
  form.text3 = c.t3;
  testing::RecordingCanvas unused;
  WaveScene scene(Edition::Full, unused, form);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    Configure(scene, c);
    testing::LiteralStepFrame(scene, canvas, form);
  }
  const double each =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count() /
      static_cast<double>(state.iterations());
  state.counters["speed-up"] = each / CanvasFrameSeconds(c);
}

void Register(const std::string& name, Case c, bool withStraightforward) {
  benchmark::RegisterBenchmark(("frame/" + name).c_str(), Frame, c)
      ->Unit(benchmark::kMillisecond);
  if (withStraightforward) {
    benchmark::RegisterBenchmark(("straightforward/" + name).c_str(),
                                 Straightforward, c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
}

// The case in a maximised window on a full-HD and a 4K screen, and, when
// `ownSize`, at the window's own size too; each named after its size.
void RegisterAtSizes(const std::string& name, const Case& c,
                     void (*frames)(benchmark::State&, Case), bool ownSize) {
  const std::pair<const char*, Case> sizes[] = {
      {"", InWindow(c, kPixels, 1)},
      {"/1920x1080", InWindow(c, QSize(1920, 1080), 1)},
      {"/3840x2160", InWindow(c, QSize(1920, 1080), 2)}};
  for (const auto& [size, window] : sizes) {
    if (*size == '\0' && !ownSize) continue;
    benchmark::RegisterBenchmark((name + size).c_str(), frames, window)
        ->Unit(benchmark::kMillisecond);
  }
}

// A tick of the whole form as a learner leaves it: the lines on, and P
// with its graph, the lines' orders and the tone, or none of them. The
// frame is the same; what P adds is read, traced and placed each tick.
void ModelTick(benchmark::State& state, QSize pixels, double ratio,
               bool wavesAtP) {
  window::FormModel model(
      Edition::Full, full::kForm1,
      {0xF0F0F0, FrameRasteriser::PixelOrder::kArgb32, 0, 96});
  model.Load("antinodal=1&nodal=1");
  model.Resize(pixels.width(), pixels.height(), ratio);
  model.scene().FrontRadius = 100000;
  if (wavesAtP) {
    for (const auto choice :
         {window::MenuChoice::kGraph, window::MenuChoice::kLineOrders,
          window::MenuChoice::kTone}) {
      model.Choose(choice);
    }
    model.KeyDown({window::Key::kP, false, false, {}});
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.Tick().changed);
  }
  if (wavesAtP && !model.view().graph.shown) state.SkipWithError("no graph");
}

}  // namespace
}  // namespace wave

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  using wave::Case;
  wave::Register("default/r1100", Case{"2", "6", 1100}, true);
  wave::Register("default/rings-only/r1100", Case{"2", "6", 1100, 0}, false);
  wave::Register("default/lines-only/r1100", Case{"2", "6", 1100, 3}, false);
  wave::Register("default/r100000", Case{"2", "6", 100000}, true);
  wave::Register("default/rings-only/r100000", Case{"2", "6", 100000, 0},
                 false);
  wave::Register("default/lines-only/r100000", Case{"2", "6", 100000, 3},
                 false);
  wave::Register("default/r100000/1920x1080",
                 wave::InWindow(Case{"2", "6", 100000}, QSize(1920, 1080), 1),
                 true);
  wave::Register("default/r100000/3840x2160",
                 wave::InWindow(Case{"2", "6", 100000}, QSize(1920, 1080), 2),
                 true);
  wave::Register("default/r1000000", Case{"2", "6", 1000000}, true);
  wave::Register("default/r10000000", Case{"2", "6", 10000000}, false);
  wave::Register("wavelength0/r10000", Case{"0", "6", 10000}, true);
  wave::Register("wavelength0/rings-only/r10000", Case{"0", "6", 10000, 0},
                 false);
  wave::Register("wavelength0/lines-only/r10000", Case{"0", "6", 10000, 3},
                 false);
  wave::Register("separation1000/r10000", Case{"2", "1000", 10000}, true);
  wave::Register("negative/r10000", Case{"-2", "-6", 10000}, true);
  wave::Register("wavelength0.001/r10000", Case{"0.001", "6", 10000}, false);
  // Worst cases: dense everywhere, and large or huge crossing dots.
  wave::Register("worst/wavelength0/r10000000", Case{"0", "6", 10000000},
                 false);
  wave::Register("worst/wavelength0/separation1000/r10000000",
                 Case{"0", "1000", 10000000}, false);
  wave::Register("worst/dots300/r100000", wave::Dots("2", "4500", 100000),
                 false);
  // Dots too large to keep and too few to pile: each a disc of its own.
  wave::Register("dots66/r100000", wave::Dots("2", "1000", 100000), true);
  wave::Register("worst/dots1e7/r10000000", wave::Dots("2", "1e7", 10000000),
                 false);
  wave::Register("worst/wavelength0/dots1000/r10000",
                 wave::Dots("0", "1000", 10000), false);
  wave::Register("worst/wavelength0/dots1e7/r10000",
                 wave::Dots("0", "1e7", 10000), false);
  for (const auto& [name, c] :
       {std::pair{"animated/default/from-r1100", Case{"2", "6", 1100}},
        std::pair{"animated/default/from-r100000", Case{"2", "6", 100000}},
        std::pair{"animated/wavelength1.23/from-r100000",
                  Case{"1.23", "6", 100000}},
        std::pair{"animated/default/from-r100000/1920x1080",
                  wave::InWindow(Case{"2", "6", 100000}, QSize(1920, 1080), 1)},
        std::pair{
            "animated/default/from-r100000/3840x2160",
            wave::InWindow(Case{"2", "6", 100000}, QSize(1920, 1080), 2)}}) {
    benchmark::RegisterBenchmark(name, wave::Animated, c)
        ->Unit(benchmark::kMillisecond);
  }
  for (const auto& [name, c] :
       {std::pair{"first-after-edit/default/r1100", Case{"2", "6", 1100}},
        std::pair{"first-after-edit/default/r100000", Case{"2", "6", 100000}},
        std::pair{"first-after-edit/wavelength0.1/r10000",
                  Case{"0.1", "6", 10000}},
        std::pair{"first-after-edit/wavelength0.1/dots1000/r10000",
                  wave::Dots("0.1", "1000", 10000)},
        std::pair{"first-after-edit/wavelength0.1/dots300/r10000/1920x1080",
                  wave::InWindow(wave::Dots("0.1", "300", 10000),
                                 QSize(1920, 1080), 1)},
        std::pair{"first-after-edit/wavelength0.1/dots300/r10000/3840x2160",
                  wave::InWindow(wave::Dots("0.1", "300", 10000),
                                 QSize(1920, 1080), 2)},
        std::pair{"first-after-edit/wavelength0.1/dots1000/r10000/1920x1080",
                  wave::InWindow(wave::Dots("0.1", "1000", 10000),
                                 QSize(1920, 1080), 1)},
        std::pair{"first-after-edit/wavelength0.1/dots1000/r10000/3840x2160",
                  wave::InWindow(wave::Dots("0.1", "1000", 10000),
                                 QSize(1920, 1080), 2)}}) {
    benchmark::RegisterBenchmark(name, wave::FirstAfterEdit, c)
        ->Unit(benchmark::kMillisecond);
  }
  // With the water under the construction: animated, the surface changes
  // every frame; the amplitude settles once the fronts have passed the window.
  for (const auto& [name, water] :
       {std::pair{"surface", wave::WaterView::kSurface},
        std::pair{"amplitude", wave::WaterView::kAmplitude}}) {
    const std::string view = std::string("water/") + name;
    wave::RegisterAtSizes("animated/" + view + "/default/from-r100000",
                          wave::Shaded(Case{"2", "6", 100000}, water),
                          wave::Animated, true);
    // As the window starts: the lines off, the dots on.
    wave::RegisterAtSizes("animated/" + view + "/at-load/from-r100000",
                          wave::Shaded(Case{"2", "6", 100000, 4}, water),
                          wave::Animated, true);
    wave::RegisterAtSizes(
        "first-after-edit/" + view + "/wavelength0.1/dots1000/r10000",
        wave::Shaded(wave::Dots("0.1", "1000", 10000), water),
        wave::FirstAfterEdit, true);
  }
  // The heaviest inputs found, repeated and first after an edit, at every
  // window size.
  for (const auto& [name, c] :
       {std::pair{"wavelength0/r10000000", Case{"0", "6", 10000000}},
        std::pair{"wavelength0/separation1000/r10000000",
                  Case{"0", "1000", 10000000}},
        std::pair{"wavelength0/dots1000/r10000",
                  wave::Dots("0", "1000", 10000)},
        std::pair{"wavelength0/dots4500/r10000",
                  wave::Dots("0", "4500", 10000)}}) {
    wave::RegisterAtSizes(std::string("frame/worst/") + name, c, wave::Frame,
                          false);
  }
  // The second frame after an edit, where rings are kept, at every size.
  for (const auto& [name, c] :
       {std::pair{"wavelength0.1/dots1000/r10000",
                  wave::Dots("0.1", "1000", 10000)},
        std::pair{"wavelength0.5/r10000", Case{"0.5", "6", 10000}},
        std::pair{"wavelength0.3/r10000", Case{"0.3", "6", 10000}}}) {
    wave::RegisterAtSizes(std::string("second-after-edit/") + name, c,
                          wave::SecondAfterEdit, true);
  }
  // The heaviest inputs found, first after an edit, at every window size.
  for (const auto& [name, c] :
       {std::pair{"wavelength0.1/dots4500/r10000",
                  wave::Dots("0.1", "4500", 10000)},
        std::pair{"wavelength0.1/dots1000/r10000000",
                  wave::Dots("0.1", "1000", 10000000)},
        std::pair{"wavelength0.1/separation1000/r10000000",
                  Case{"0.1", "1000", 10000000}},
        std::pair{"wavelength0.1/separation1000/dots1000/r10000000",
                  Case{"0.1", "1000", 10000000, 7, "1000"}},
        std::pair{"wavelength-0.1/separation-6/dots1000/r10000",
                  Case{"-0.1", "-6", 10000, 7, "1000"}},
        // Found by going over wavelengths 0.1 to 0.4, distances 6 to 3000
        // and dots 100 to 3000 at 1920 × 1080.
        std::pair{"wavelength0.1/r10000000", Case{"0.1", "6", 10000000}},
        std::pair{"wavelength0.1/separation20/r10000000",
                  Case{"0.1", "20", 10000000}},
        std::pair{"wavelength0.1/separation40/dots3000/r10000000",
                  Case{"0.1", "40", 10000000, 7, "3000"}}}) {
    wave::RegisterAtSizes(std::string("first-after-edit/worst/") + name, c,
                          wave::FirstAfterEdit, true);
  }
  for (const auto& [size, ratio, name] :
       {std::tuple{QSize(682, 476), 1.0, ""},
        std::tuple{QSize(1920, 1080), 1.0, "/1920x1080"},
        std::tuple{QSize(1920, 1080), 2.0, "/3840x2160"}}) {
    for (const bool withP : {false, true}) {
      benchmark::RegisterBenchmark(
          (std::string("model/tick/lines") +
           (withP ? "+p-graph-orders-tone" : "") + name)
              .c_str(),
          wave::ModelTick, size, ratio, withP)
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Cost of one frame on the real raster canvas at 682 × 476 pixels, beside
// the straightforward drawing of the same frame: the frame rules word for
// word, every call handed to QPainter as it stands.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdint>
#include <string>

#include "canvas/raster_canvas.h"
#include "scene/wave_scene.h"
#include "tests/literal_frame.h"
#include "tests/recording_canvas.h"

namespace wave {
namespace {

constexpr double kTwipsPerPixel = 15;
const QSize kPixels(682, 476);

// Every call straight to QPainter: no clipping, no culling, no batching.
class PlainCanvas : public Canvas {
 public:
  PlainCanvas() : image_(kPixels, QImage::Format_RGB32), painter_(&image_) {
    painter_.setRenderHint(QPainter::Antialiasing);
  }
  void Cls() override { painter_.fillRect(image_.rect(), QColor(240, 240, 240)); }
  void Circle(float x, float y, float r, Color c) override {
    Pen(c);
    painter_.setBrush(fill_ == 0 ? QBrush(Q(fillColor_)) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(QPointF(x / kTwipsPerPixel, y / kTwipsPerPixel),
                         r / kTwipsPerPixel, r / kTwipsPerPixel);
  }
  void Line(float x1, float y1, float x2, float y2, Color c) override {
    Pen(c);
    painter_.drawLine(QLineF(x1 / kTwipsPerPixel, y1 / kTwipsPerPixel,
                             x2 / kTwipsPerPixel, y2 / kTwipsPerPixel));
  }
  void SetDrawWidth(int w) override { width_ = w; }
  void SetDrawStyle(int) override {}
  void SetFillStyle(int s) override { fill_ = s; }
  void SetFillColor(Color c) override { fillColor_ = c; }

 private:
  static QColor Q(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
  void Pen(Color c) {
    painter_.setPen(QPen(Q(c), width_, Qt::SolidLine, Qt::RoundCap));
  }
  QImage image_;
  QPainter painter_;
  int width_ = 1, fill_ = 1;
  Color fillColor_ = 0;
};

struct Case {
  const char* t1;
  const char* t2;
  std::int64_t front;  // radius drawn
};

void Configure(WaveScene& scene, std::int64_t front) {
  scene.InitScene();
  scene.ShowAntinodal = scene.ShowNodal = scene.ShowCrossings = 1;
  scene.FrontRadius = front - 100;
}

void Frame(benchmark::State& state, Case c) {
  RasterCanvas canvas(kPixels, kTwipsPerPixel, 1, QColor(240, 240, 240));
  testing::FakeForm form;
  form.text1 = c.t1;
  form.text2 = c.t2;
  WaveScene scene(Edition::Full, canvas, form);
  for (auto _ : state) {
    Configure(scene, c.front);
    scene.StepFrame();
    benchmark::DoNotOptimize(canvas.image().constBits());
  }
}

void Straightforward(benchmark::State& state, Case c) {
  PlainCanvas canvas;
  testing::FakeForm form;
  form.text1 = c.t1;
  form.text2 = c.t2;
  testing::RecordingCanvas unused;
  WaveScene scene(Edition::Full, unused, form);
  for (auto _ : state) {
    Configure(scene, c.front);
    testing::LiteralStepFrame(scene, canvas, form);
  }
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

}  // namespace
}  // namespace wave

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  using wave::Case;
  wave::Register("default/r1100", Case{"2", "6", 1100}, true);
  wave::Register("default/r100000", Case{"2", "6", 100000}, true);
  wave::Register("default/r1000000", Case{"2", "6", 1000000}, false);
  wave::Register("default/r10000000", Case{"2", "6", 10000000}, false);
  wave::Register("wavelength0/r10000", Case{"0", "6", 10000}, true);
  wave::Register("separation1000/r10000", Case{"2", "1000", 10000}, true);
  wave::Register("negative/r10000", Case{"-2", "-6", 10000}, false);
  wave::Register("wavelength0.001/r10000", Case{"0.001", "6", 10000}, false);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

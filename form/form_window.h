// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "canvas/screen_mapping.h"
#include "controls/control_table.h"
#include "form/animation_clock.h"
#include "form/speed_bar.h"
#include "raster/raster_canvas.h"
#include "scene/wave_scene.h"

class QLabel;
class QString;
class QLineEdit;
class QPushButton;

namespace wave::form {

// The window Form1 of either edition: controls built from a table over a
// client area that shows the retained picture of the scene. The window owns
// the scene, the canvas and the clock, and wires what both editions share:
// load, the tick, and the buttons Command1 to Command6.
class FormWindow : public QWidget, public FormControls {
  Q_OBJECT

 public:
  FormWindow(Edition edition, const FormLayout& layout,
             QWidget* parent = nullptr);
  ~FormWindow() override;

  QWidget* control(std::string_view name) const;
  QPushButton* button(std::string_view name) const;
  QLineEdit* textBox(std::string_view name) const;
  QLabel* label(std::string_view name) const;
  SpeedBar* scrollBar() const;

  WaveScene& scene() { return scene_; }
  const RasterCanvas& canvas() const { return canvas_; }
  AnimationClock& clock() { return clock_; }
  // Twips to pixels for the controls and the picture, at the resolution the
  // window had when it was made.
  const ScreenMapping& mapping() const { return mapping_; }

  // Runs one event handler to completion, then shows the new picture. A
  // handler that throws ends the program through Fail.
  void Handle(const std::function<void()>& handler);
  // Reports an error in a message box and ends the program with status 1.
  void Fail(const QString& what);
  bool failed() const { return failed_; }

  // FormControls
  std::string Text1() const override;
  std::string Text2() const override;
  std::string Text3() const override;
  void SetLabel5Left(float twips) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The point P: placed by a click on free picture, dragged, removed by a
  // click on it or Esc; P places it by the keyboard, arrows move it.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Connects a button's click to a handler run through Handle.
  void OnClick(std::string_view name, std::function<void()> handler);

 private:
  void BuildControls(const FormLayout& layout);
  void FitButtonCaptions();
  void LabelControls();
  QString DescribePicture() const;
  // After a handler: the switches' states in their descriptions, and the
  // picture's description announced when a setting changed (never for a
  // tick that only moved the waves).
  void AnnounceChanges();
  void Load();
  void Tick();
  void StartOrStop();
  void FitCanvas();
  // P in twips; the readout beside it follows the last frame.
  void PlaceProbe(std::optional<QPointF> twips);
  void ShowProbe();
  QPointF ProbePixels() const;
  // P's keys; false when the key is not one of them.
  bool ProbeKey(QKeyEvent* event);

  ScreenMapping mapping_;  // before the canvas, which is made from it
  std::map<std::string, QWidget*, std::less<>> controls_;
  std::map<std::string, std::string, std::less<>> descriptions_;  // as laid out
  class PictureView* picture_ = nullptr;
  class FocusRing* focusRing_ = nullptr;
  std::string announced_;  // the settings last announced
  RasterCanvas canvas_;
  WaveScene scene_;
  AnimationClock clock_;
  QWidget* firstFocus_ = nullptr;
  bool activated_ = false;
  std::optional<QPointF> probeTwips_;
  QLabel* probeReadout_ = nullptr;
  bool dragging_ = false;
  bool pressedOnProbe_ = false;
  QPoint pressedAt_;
  bool failed_ = false;
};

}  // namespace wave::form

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/control_table.h"
#include "form/animation_clock.h"
#include "form/speed_bar.h"
#include "scene/wave_scene.h"
#include "window/form_model.h"

class QLabel;
class QString;
class QLineEdit;
class QPushButton;

namespace wave::form {

// The window Form1 of either edition: controls built from a table over a
// client area that shows the model's frame. Every Qt event becomes an event
// of the form model, and what the model answers is shown; the window
// decides nothing itself.
class FormWindow : public QWidget {
  Q_OBJECT

 public:
  // `languages`: --lang's or the desktop's, best first.
  FormWindow(Edition edition, const FormLayout& layout,
             const std::vector<std::string>& languages = {},
             QWidget* parent = nullptr);
  ~FormWindow() override;

  QWidget* control(std::string_view name) const;
  QPushButton* button(std::string_view name) const;
  QLineEdit* textBox(std::string_view name) const;
  QLabel* label(std::string_view name) const;
  SpeedBar* scrollBar() const;

  WaveScene& scene() { return model_.scene(); }
  const window::FormModel& model() const { return model_; }
  // The frame as of the last event, a view over the model's pixels: copy()
  // it to keep it while others are drawn.
  const QImage& image() const { return image_; }
  AnimationClock& clock() { return clock_; }
  const ScreenMapping& mapping() const { return model_.mapping(); }

  // Runs a handler in the model's failure boundary, then shows the result.
  // A handler that throws ends the program through the failure message.
  void Handle(const std::function<void()>& handler);
  bool failed() const { return model_.failed(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls(const FormLayout& layout);
  QWidget* MakeControl(const ControlRow& row);
  void FitButtonCaptions();
  void FitLabel(QLabel* label, FontVariant variant);
  void ShowWords(const window::FormView::Words& words);
  FontVariant FontOf(ControlId id) const;
  void LabelControls(const FormLayout& layout);
  void Show(const window::FormView& view);
  void ShowProbe(const window::FormView& view);
  void Fail(const QString& message);
  // A key for P's rules; true when the model took it.
  bool OfferKey(QKeyEvent* event, QObject* focus);
  QWidget* byId(ControlId id) const {
    return byId_[static_cast<std::size_t>(id)];
  }

  window::FormModel model_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  std::array<QWidget*, kControlIds> byId_{};
  std::map<QObject*, ControlId> ids_;
  class PictureView* picture_ = nullptr;
  class ExtrasMenu* extras_ = nullptr;
  class FocusRing* focusRing_ = nullptr;
  QLabel* probeReadout_ = nullptr;
  class ProbeGraph* probeGraph_ = nullptr;
  std::unique_ptr<class ToneOutput> tone_;
  AnimationClock clock_;
  QImage image_;
  QString face_;  // the language's
  QWidget* firstFocus_ = nullptr;
  bool activated_ = false;
  bool reported_ = false;
  bool pressing_ = false;
};

}  // namespace wave::form

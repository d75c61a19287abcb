// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_window.h"

#include "controls/switch_states.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <vector>

#include "form/accessible_widgets.h"
#include "form/focus_ring.h"
#include "form/form_fonts.h"
#include "form/number_box.h"
#include "form/picture_view.h"
#include "scene/picture_description.h"

namespace wave::form {
namespace {

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QSize ClientPixels(const FormLayout& layout, const ScreenMapping& mapping) {
  return QSize(mapping.ToPixels(layout.clientWidthTwips),
               mapping.ToPixels(layout.clientHeightTwips));
}

}  // namespace

FormWindow::FormWindow(Edition edition, const FormLayout& layout,
                       QWidget* parent)
    : QWidget(parent),
      mapping_{static_cast<double>(logicalDpiX()), 1.0},
      canvas_(ClientPixels(layout, mapping_), mapping_.twipsPerPixel(), 1.0,
              QApplication::palette().color(QPalette::Window)),
      scene_(edition, canvas_, *this),
      clock_(kStoredTimerIntervalMs) {
  InstallAccessibleWidgets();
  setWindowTitle(Text(layout.caption));
  setAccessibleName(Text(layout.accessibleName));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_StaticContents);
  resize(ClientPixels(layout, mapping_));
  // Under every control: created first.
  picture_ = new PictureView([this] { return DescribePicture(); }, this);
  picture_->setGeometry(rect());
  BuildControls(layout);
  focusRing_ = new FocusRing(this);

  OnClick("Command1", [this] { scene_.ToggleAntinodal(); });
  OnClick("Command2", [this] { scene_.ToggleNodal(); });
  OnClick("Command3", [this] { scene_.StepFrame(); });
  OnClick("Command4", [this] { scene_.ToggleCrossings(); });
  OnClick("Command5", [this] { scene_.ResetScene(); });
  OnClick("Command6", [this] { StartOrStop(); });
  connect(&clock_, &AnimationClock::Ticked, this,
          [this] { Handle([this] { Tick(); }); });
  Handle([this] { Load(); });
}

FormWindow::~FormWindow() = default;

void FormWindow::BuildControls(const FormLayout& layout) {
  std::vector<const ControlRow*> windowed;
  // Labels first: later siblings stack above earlier ones.
  std::vector<const ControlRow*> ordered;
  for (const bool labels : {true, false}) {
    for (const auto rows : {kSharedControls, layout.ownControls}) {
      for (const ControlRow& c : rows) {
        if ((c.kind == ControlKind::Label) == labels) ordered.push_back(&c);
      }
    }
  }
  for (const ControlRow* c : ordered) {
    const QString caption = Text(c->caption);
    QWidget* widget = nullptr;
    switch (c->kind) {
      case ControlKind::PushButton: {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        b->setDefault(false);
        widget = b;
        break;
      }
      case ControlKind::TextBox: {
        widget = new NumberBox(caption, this);
        break;
      }
      case ControlKind::Label: {
        auto* l = new QLabel(caption, this);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAutoFillBackground(true);  // opaque: hides the picture
        l->setMargin(0);
        l->setIndent(0);
        l->setWordWrap(false);
        widget = l;
        break;
      }
      case ControlKind::HScrollBar: {
        widget = new SpeedBar(this);
        break;
      }
    }
    widget->setObjectName(Text(c->name));
    if (!c->accessibleName.empty()) {
      widget->setAccessibleName(Text(c->accessibleName));
    }
    if (!c->description.empty()) {
      widget->setAccessibleDescription(Text(c->description));
      descriptions_.emplace(std::string(c->name), std::string(c->description));
    }
    widget->setGeometry(mapping_.ToPixels(c->left), mapping_.ToPixels(c->top),
                        mapping_.ToPixels(c->width),
                        mapping_.ToPixels(c->height));
    if (c->font != FontVariant::WindowDefault)
      widget->setFont(FontFor(c->font));
    widget->setFocusPolicy(c->focusOrder > 0 ? Qt::StrongFocus : Qt::NoFocus);
    controls_.emplace(std::string(c->name), widget);
    if (c->focusOrder > 0) windowed.push_back(c);
  }

  FitButtonCaptions();
  LabelControls();

  std::sort(windowed.begin(), windowed.end(),
            [](const ControlRow* a, const ControlRow* b) {
              return a->focusOrder < b->focusOrder;
            });
  for (std::size_t i = 0; i + 1 < windowed.size(); ++i) {
    QWidget::setTabOrder(control(windowed[i]->name),
                         control(windowed[i + 1]->name));
  }
  if (!windowed.empty()) {
    firstFocus_ = control(windowed.front()->name);
    firstFocus_->setFocus();
  }
}

void FormWindow::FitButtonCaptions() {
  QStringList captions;
  int narrowest = std::numeric_limits<int>::max();
  for (const auto& [name, widget] : controls_) {
    if (const auto* b = qobject_cast<QPushButton*>(widget)) {
      captions.append(b->text());
      narrowest = std::min(narrowest, b->width());
    }
  }
  if (captions.isEmpty()) return;
  // Inside the frame, with two pixels to spare on either side.
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
  const QFont font =
      FontFitting(QApplication::font(), captions, narrowest - 2 * frame);
  for (const auto& [name, widget] : controls_) {
    if (qobject_cast<QPushButton*>(widget) != nullptr) widget->setFont(font);
  }
}

// A label whose caption is a control's accessible name labels that control
// (波長 the wavelength box, 速さ the speed bar, …): a screen reader then
// reads them as a pair.
void FormWindow::LabelControls() {
  for (const auto& [name, widget] : controls_) {
    auto* label = qobject_cast<QLabel*>(widget);
    if (label == nullptr) continue;
    for (const auto& [otherName, other] : controls_) {
      if (other != widget && other->accessibleName() == label->text()) {
        label->setBuddy(other);
      }
    }
  }
}

QString FormWindow::DescribePicture() const {
  const VisibleArea client{0, 0, mapping_.ToTwips(width()),
                           mapping_.ToTwips(height())};
  return QString::fromStdString(
      wave::DescribePicture(scene_.Summarize(client)));
}

void FormWindow::AnnounceChanges() {
  for (const std::string_view name : kSwitchButtons) {
    QWidget* w = control(name);
    const auto base = descriptions_.find(name);
    if (w == nullptr || base == descriptions_.end()) continue;
    const QString description = Text(WithState(
        base->second, SwitchState(name, scene_, clock_.Interval() != 0)));
    // Set only on a change: setting it is what a screen reader announces.
    if (w->accessibleDescription() != description) {
      w->setAccessibleDescription(description);
    }
  }
  const std::string settings = SettingsKey(scene_, Text3());
  if (settings != announced_) {
    announced_ = settings;
    picture_->AnnounceChange();
  }
}

QWidget* FormWindow::control(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QPushButton* FormWindow::button(std::string_view name) const {
  return qobject_cast<QPushButton*>(control(name));
}

QLineEdit* FormWindow::textBox(std::string_view name) const {
  return qobject_cast<QLineEdit*>(control(name));
}

QLabel* FormWindow::label(std::string_view name) const {
  return qobject_cast<QLabel*>(control(name));
}

SpeedBar* FormWindow::scrollBar() const {
  return qobject_cast<SpeedBar*>(control("HScroll1"));
}

void FormWindow::OnClick(std::string_view name, std::function<void()> handler) {
  QPushButton* b = button(name);
  if (b == nullptr) return;
  connect(b, &QPushButton::clicked, this,
          [this, handler = std::move(handler)] { Handle(handler); });
}

void FormWindow::Handle(const std::function<void()>& handler) {
  if (failed_) return;
  try {
    handler();
    canvas_.Flush();
  } catch (const std::bad_alloc&) {
    Fail(QStringLiteral("メモリが足りません。"));
    return;
  } catch (const std::exception& e) {
    Fail(QString::fromUtf8(e.what()));
    return;
  } catch (...) {
    Fail(QStringLiteral("不明なエラーです。"));
    return;
  }
  AnnounceChanges();
  update();
}

void FormWindow::Fail(const QString& what) {
  if (failed_) return;
  failed_ = true;
  clock_.SetInterval(0);
  QMessageBox::critical(this, QApplication::applicationName(),
                        QStringLiteral("実行時エラーが発生しました。\n%1\n"
                                       "プログラムを終了します。")
                            .arg(what));
  // exit() ends only an event loop that runs. A failure before the loop
  // starts (in the load handler, or while the window is shown) ends it as
  // soon as it does.
  QCoreApplication::exit(1);
  QTimer::singleShot(0, this, [] { QCoreApplication::exit(1); });
}

void FormWindow::Load() {
  scene_.InitScene();
  clock_.SetInterval(scrollBar()->intervalMs());
}

void FormWindow::Tick() {
  if (clock_.Interval() == 0) return;  // a late tick after a stop
  clock_.SetInterval(scrollBar()->intervalMs());
  scene_.StepFrame();
}

void FormWindow::StartOrStop() {
  clock_.SetInterval(clock_.Interval() == 0 ? scrollBar()->intervalMs() : 0);
}

std::string FormWindow::Text1() const {
  return textBox("Text1")->text().toStdString();
}
std::string FormWindow::Text2() const {
  return textBox("Text2")->text().toStdString();
}
std::string FormWindow::Text3() const {
  return textBox("Text3")->text().toStdString();
}

void FormWindow::SetLabel5Left(float twips) {
  QLabel* l = label("Label5");
  l->move(mapping_.ToPixels(twips), l->y());
}

void FormWindow::FitCanvas() {
  const qreal dpr = devicePixelRatioF();
  mapping_.devicePixelRatio = dpr;
  const QSize wanted = size().expandedTo(canvas_.logicalSize());
  if (wanted != canvas_.logicalSize() ||
      dpr != canvas_.image().devicePixelRatio()) {
    canvas_.Resize(wanted, dpr);
  }
}

// Copies the finished picture; the canvas always covers the whole window.
void FormWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& image = canvas_.image();
  const qreal dpr = image.devicePixelRatio();
  const QRect r = event->rect();
  painter.drawImage(
      QRectF(r), image,
      QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  picture_->setGeometry(rect());
  Handle([this] { FitCanvas(); });
}

void FormWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Handle([this] { FitCanvas(); });
  if (activated_) return;
  activated_ = true;
  // With no window manager the focus arrives only once the window asks.
  QTimer::singleShot(0, this, [this] {
    activateWindow();
    if (firstFocus_ != nullptr) firstFocus_->setFocus();
  });
}

}  // namespace wave::form

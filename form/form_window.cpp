// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_window.h"

#include "controls/switch_states.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
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
#include "scene/path_probe.h"
#include "scene/picture_description.h"

namespace wave::form {
namespace {

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A colour no wave element uses, with a white rim so that it shows on any
// of them.
constexpr QColor kProbeColour(255, 128, 0);
constexpr double kProbeRadiusPx = 6;
// Arrow keys move P by this many pixels, with Shift ten times as far.
constexpr double kProbeStepPx = 2;

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
  probeReadout_ = new QLabel(this);
  probeReadout_->setObjectName(QStringLiteral("ProbeReadout"));
  probeReadout_->setAttribute(Qt::WA_TransparentForMouseEvents);
  probeReadout_->setStyleSheet(
      QStringLiteral("background: rgba(255, 255, 255, 230); color: black;"
                     " border: 2px solid rgb(255, 128, 0); padding: 1px 3px;"));
  probeReadout_->setFont(FontFor(FontVariant::Normal10));
  probeReadout_->setAccessibleName(QStringLiteral("点 P の読み"));
  probeReadout_->hide();
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
        b->installEventFilter(this);  // arrows move P
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
  std::string text = wave::DescribePicture(scene_.Summarize(client));
  if (probeTwips_) {
    text +=
        ProbeSentence(ReadProbe(scene_, probeTwips_->x(), probeTwips_->y()));
  }
  return QString::fromStdString(text);
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
  ShowProbe();
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
  if (!probeTwips_) return;
  // Over the picture, not in it: the frame stays as drawn.
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF at = ProbePixels();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 4));
  painter.drawEllipse(at, kProbeRadiusPx, kProbeRadiusPx);
  painter.setPen(QPen(kProbeColour, 2));
  painter.drawEllipse(at, kProbeRadiusPx, kProbeRadiusPx);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kProbeColour);
  painter.drawEllipse(at, 1.5, 1.5);
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

QPointF FormWindow::ProbePixels() const {
  return {mapping_.ToLogical(probeTwips_->x()),
          mapping_.ToLogical(probeTwips_->y())};
}

void FormWindow::PlaceProbe(std::optional<QPointF> twips) {
  probeTwips_ = twips;
  ShowProbe();
  update();
  // Each move is told, not each tick: the picture's description holds the
  // readout while P is there.
  picture_->AnnounceChange();
}

void FormWindow::ShowProbe() {
  if (!probeTwips_) {
    probeReadout_->hide();
    return;
  }
  const ProbeReading reading =
      ReadProbe(scene_, probeTwips_->x(), probeTwips_->y());
  probeReadout_->setText(Text(DescribeProbe(reading)));
  probeReadout_->adjustSize();
  // Under P (over it near the bottom), centred, inside the window.
  const QPointF at = ProbePixels();
  const QSize size = probeReadout_->size();
  const double gap = kProbeRadiusPx + 6;
  double y = at.y() + gap;
  if (y + size.height() > height()) y = at.y() - gap - size.height();
  const double x = at.x() - size.width() / 2.0;
  const auto within = [](double v, double room) {
    return static_cast<int>(std::clamp(v, 0.0, std::max(0.0, room)));
  };
  probeReadout_->move(within(x, width() - size.width()),
                      within(y, height() - size.height()));
  probeReadout_->show();
  probeReadout_->raise();
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  QWidget* under = childAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton ||
      (under != nullptr && under != probeReadout_)) {
    QWidget::mousePressEvent(event);
    return;
  }
  pressedAt_ = event->position().toPoint();
  pressedOnProbe_ =
      probeTwips_ &&
      QLineF(ProbePixels(), event->position()).length() <= kProbeRadiusPx + 3;
  dragging_ = true;
  if (!pressedOnProbe_) {
    PlaceProbe(QPointF(mapping_.ToTwips(event->position().x()),
                       mapping_.ToTwips(event->position().y())));
  }
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  if (pressedOnProbe_ &&
      (event->position().toPoint() - pressedAt_).manhattanLength() < 3) {
    return;  // not yet a drag
  }
  pressedOnProbe_ = false;
  PlaceProbe(QPointF(mapping_.ToTwips(event->position().x()),
                     mapping_.ToTwips(event->position().y())));
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && pressedOnProbe_) PlaceProbe(std::nullopt);  // a click on P
  dragging_ = false;
  pressedOnProbe_ = false;
  QWidget::mouseReleaseEvent(event);
}

// Keys a control leaves (a box keeps what is typed, the speed bar its
// arrows) come here; a button's arrows are taken on their way to it.
void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (!ProbeKey(event)) QWidget::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      qobject_cast<QPushButton*>(watched) != nullptr) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool arrow = key->key() == Qt::Key_Left ||
                       key->key() == Qt::Key_Right ||
                       key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
    if (arrow && probeTwips_) return ProbeKey(key);
  }
  return QWidget::eventFilter(watched, event);
}

bool FormWindow::ProbeKey(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::ShiftModifier &
                      ~Qt::KeypadModifier) == Qt::NoModifier;
  if (event->key() == Qt::Key_Escape && probeTwips_) {
    PlaceProbe(std::nullopt);
    return true;
  }
  if (event->key() == Qt::Key_P && plain) {
    // Between the sources, or the window's middle when that is not in it.
    const double mid = 4000 + 250 * scene_.Separation;
    QPointF at(mid, 4000);
    if (!(mapping_.ToLogical(mid) >= 0 && mapping_.ToLogical(mid) < width())) {
      at = QPointF(mapping_.ToTwips(width() / 2.0),
                   mapping_.ToTwips(height() / 2.0));
    }
    PlaceProbe(at);
    return true;
  }
  if (!probeTwips_ || !plain) return false;
  const double step = mapping_.ToTwips(
      kProbeStepPx * (event->modifiers() & Qt::ShiftModifier ? 10 : 1));
  QPointF move;
  switch (event->key()) {
    case Qt::Key_Left:
      move = {-step, 0};
      break;
    case Qt::Key_Right:
      move = {step, 0};
      break;
    case Qt::Key_Up:
      move = {0, -step};
      break;
    case Qt::Key_Down:
      move = {0, step};
      break;
    default:
      return false;
  }
  PlaceProbe(*probeTwips_ + move);
  return true;
}

}  // namespace wave::form

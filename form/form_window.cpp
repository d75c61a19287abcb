// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_window.h"

#include <QApplication>
#include <QContextMenuEvent>
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
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "form/accessible_widgets.h"
#include "form/extras_menu.h"
#include "form/focus_ring.h"
#include "form/form_fonts.h"
#include "form/model_events.h"
#include "form/number_box.h"
#include "form/picture_view.h"
#include "form/probe_graph.h"
#include "form/probe_mark.h"
#include "form/tone_output.h"

namespace wave::form {
namespace {

using window::FormView;

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

FormWindow::FormWindow(Edition edition, const FormLayout& layout,
                       const std::vector<std::string>& languages,
                       QWidget* parent)
    : QWidget(parent),
      model_(edition, layout, PictureFor(*this)),
      clock_(kStoredTimerIntervalMs) {
  InstallAccessibleWidgets();
  setWindowTitle(Text(layout.caption));
  face_ = Text(kFormFace);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_StaticContents);
  const FrameRasteriser::Size size = model_.frame().size();
  resize(size.width, size.height);
  // Under every control: created first.
  picture_ = new PictureView(
      [this] { return QString::fromStdString(model_.Description()); }, this);
  picture_->setGeometry(rect());
  BuildControls(layout);
  probeReadout_ = new ProbeReadout(this);
  probeGraph_ = new ProbeGraph(this);
  focusRing_ = new FocusRing(this);
  tone_ = std::make_unique<ToneOutput>(
      this, [this](bool available) { Show(model_.SoundAvailable(available)); });

  connect(&clock_, &AnimationClock::Ticked, this,
          [this] { Show(model_.Tick()); });
  Show(model_.Load({}, languages));
}

FormWindow::~FormWindow() = default;

QWidget* FormWindow::MakeControl(const ControlRow& row) {
  const QString caption = Text(row.caption);
  const ControlId id = row.id;
  switch (row.kind) {
    case ControlKind::PushButton: {
      auto* b = new QPushButton(caption, this);
      b->setAutoDefault(false);
      b->setDefault(false);
      connect(b, &QPushButton::clicked, this,
              [this, id] { Show(model_.Click(id)); });
      return b;
    }
    case ControlKind::TextBox: {
      auto* box = new NumberBox(caption, this);
      connect(box, &QLineEdit::textChanged, this, [this, id](const QString& t) {
        Show(model_.Type(id, t.toStdString()));
      });
      return box;
    }
    case ControlKind::Label: {
      auto* l = new QLabel(caption, this);
      l->setTextFormat(Qt::PlainText);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      l->setAutoFillBackground(true);  // opaque: hides the picture
      l->setMargin(0);
      l->setIndent(0);
      l->setWordWrap(false);
      return l;
    }
    case ControlKind::HScrollBar:
      break;
  }
  auto* bar = new SpeedBar(this);
  connect(bar, &QScrollBar::valueChanged, this,
          [this, bar] { Show(model_.MoveSpeed(bar->intervalMs())); });
  return bar;
}

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
  const ScreenMapping& mapping = model_.mapping();
  for (const ControlRow* c : ordered) {
    QWidget* widget = MakeControl(*c);
    widget->setObjectName(Text(c->name));
    if (!c->accessibleName.empty()) {
      widget->setAccessibleName(Text(c->accessibleName));
    }
    if (!c->description.empty()) {
      widget->setAccessibleDescription(Text(c->description));
    }
    widget->setGeometry(mapping.ToPixels(c->left), mapping.ToPixels(c->top),
                        mapping.ToPixels(c->width),
                        mapping.ToPixels(c->height));
    if (c->font != FontVariant::WindowDefault)
      widget->setFont(FontFor(c->font, face_));
    widget->setFocusPolicy(c->focusOrder > 0 ? Qt::StrongFocus : Qt::NoFocus);
    if (c->focusOrder > 0) {
      widget->installEventFilter(this);  // P's keys first
      windowed.push_back(c);
    }
    controls_.emplace(std::string(c->name), widget);
    byId_[static_cast<std::size_t>(c->id)] = widget;
    ids_.emplace(widget, c->id);
  }

  FitButtonCaptions();
  LabelControls(layout);

  std::sort(windowed.begin(), windowed.end(),
            [](const ControlRow* a, const ControlRow* b) {
              return a->focusOrder < b->focusOrder;
            });
  for (std::size_t i = 0; i + 1 < windowed.size(); ++i) {
    QWidget::setTabOrder(byId(windowed[i]->id), byId(windowed[i + 1]->id));
  }
  extras_ = new ExtrasMenu(
      this, model_.view().menu,
      [this](window::MenuChoice choice) { Show(model_.Choose(choice)); });
  extras_->Place(mapping,
                 windowed.empty() ? nullptr : byId(windowed.back()->id));
  if (!windowed.empty()) {
    firstFocus_ = byId(windowed.front()->id);
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
  const int frame =
      style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + CaptionFit::kSparePx;
  const QFont font = FontFitting(FontFor(FontVariant::WindowDefault, face_),
                                 captions, narrowest - 2 * frame);
  for (const auto& [name, widget] : controls_) {
    if (qobject_cast<QPushButton*>(widget) != nullptr) widget->setFont(font);
  }
}

// A caption wider than its label is shown whole, in a smaller font.
void FormWindow::FitLabel(QLabel* label, FontVariant variant) {
  const QFont font = FontFor(variant, face_);
  label->setFont(FontFitting(font, {label->text()}, label->width()));
}

FontVariant FormWindow::FontOf(ControlId id) const {
  FontVariant variant = FontVariant::WindowDefault;
  ForEachRow(model_.layout(), [&](const ControlRow& row) {
    if (row.id == id) variant = row.font;
  });
  return variant;
}

// Every word of the window in the language chosen, in its face; the
// accessible locale with them, so that a screen reader picks its voice.
void FormWindow::ShowWords(const FormView::Words& words) {
  const QLocale locale(Text(words.language));
  QLocale::setDefault(locale);
  setLocale(locale);
  setAccessibleName(Text(words.name));
  face_ = Text(words.face);
  for (const FormView::ControlWords& c : words.controls) {
    QWidget* widget = byId(c.id);
    if (widget == nullptr) continue;
    if (auto* b = qobject_cast<QPushButton*>(widget)) {
      b->setText(Text(c.caption));
    } else if (auto* l = qobject_cast<QLabel*>(widget)) {
      l->setText(Text(c.caption));
      FitLabel(l, FontOf(c.id));
    } else if (FontOf(c.id) != FontVariant::WindowDefault) {
      widget->setFont(FontFor(FontOf(c.id), face_));
    }
    if (!c.accessibleName.empty()) {
      widget->setAccessibleName(Text(c.accessibleName));
    }
    // A switch's description comes with its state.
    const auto& switches = model_.view().switches;
    const bool stated =
        std::any_of(switches.begin(), switches.end(),
                    [&c](const FormView::Switch& s) { return s.id == c.id; });
    const QString description = Text(c.description);
    if (!stated && widget->accessibleDescription() != description) {
      widget->setAccessibleDescription(description);
    }
  }
  FitButtonCaptions();
  picture_->setAccessibleName(Text(words.pictureName));
  probeReadout_->setAccessibleName(Text(words.readoutName));
  probeReadout_->setFont(FontFor(FontVariant::Normal10, face_));
  probeGraph_->Name(Text(words.graphName), Text(words.graphNow));
  tone_->Name(words.toneStream);
  extras_->Name(Text(words.menuCaption));
}

void FormWindow::LabelControls(const FormLayout& layout) {
  ForEachRow(layout, [&](const ControlRow& row) {
    if (const ControlRow* named = LabelledControl(layout, row)) {
      static_cast<QLabel*>(byId(row.id))->setBuddy(byId(named->id));
    }
  });
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
  return qobject_cast<SpeedBar*>(byId(ControlId::kHScroll1));
}

void FormWindow::Handle(const std::function<void()>& handler) {
  Show(model_.Handle(handler));
}

// `shown` is the model's own view, which the readout's measuring changes:
// the window works from a copy.
void FormWindow::Show(const FormView& shown) {
  const FormView view = shown;
  if (view.Changed(FormView::kFailure)) {
    clock_.SetInterval(0);
    Fail(Text(view.failure));
    return;
  }
  if (view.Changed(FormView::kClock)) clock_.SetInterval(view.intervalMs);
  if (view.Changed(FormView::kWords)) ShowWords(view.words);
  const FrameRasteriser& frame = model_.frame();
  if (image_.constBits() != reinterpret_cast<const uchar*>(frame.pixels()) ||
      image_.width() != frame.deviceWidth() ||
      image_.height() != frame.deviceHeight()) {
    image_ = QImage(reinterpret_cast<const uchar*>(frame.pixels()),
                    frame.deviceWidth(), frame.deviceHeight(),
                    frame.deviceWidth() * 4, QImage::Format_RGB32);
  }
  image_.setDevicePixelRatio(frame.size().devicePixelRatio);
  if (view.Changed(FormView::kLabel5)) {
    QWidget* l = byId(ControlId::kLabel5);
    l->move(model_.mapping().ToPixels(view.label5LeftTwips), l->y());
  }
  if (view.Changed(FormView::kPhase)) {
    if (auto* l = qobject_cast<QLabel*>(byId(ControlId::kLabel7))) {
      l->setText(Text(view.phaseCaption));
      FitLabel(l, FontOf(ControlId::kLabel7));
    }
  }
  if (view.Changed(FormView::kStates)) {
    for (const FormView::Switch& s : view.switches) {
      // Set only on a change: setting it is what a screen reader announces.
      const QString description = Text(s.description);
      QWidget* w = byId(s.id);
      if (w != nullptr && w->accessibleDescription() != description) {
        w->setAccessibleDescription(description);
      }
    }
  }
  if (view.Changed(FormView::kSpeed) && scrollBar() != nullptr) {
    scrollBar()->SetWords(Text(view.speedWords), Text(view.speedDescription));
    if (scrollBar()->intervalMs() != view.speedMs) {
      scrollBar()->setIntervalMs(view.speedMs);
    }
  }
  if (view.Changed(FormView::kMenu)) {
    extras_->Show(view.menu, Text(view.menuDescription));
  }
  if (view.Changed(FormView::kAnnounce)) picture_->AnnounceChange();
  if (view.Changed(FormView::kProbe | FormView::kReadout)) ShowProbe(view);
  // The readout's measuring places the graph: the model's view has it.
  if (view.Changed(FormView::kGraph | FormView::kProbe | FormView::kReadout)) {
    probeGraph_->Show(model_.view().graph);
  }
  if (view.Changed(FormView::kTone)) tone_->Play(view.tone.on, view.tone.level);
  if (view.Changed(FormView::kPicture | FormView::kProbe | FormView::kLabels)) {
    update();
  }
}

void FormWindow::ShowProbe(const FormView& view) {
  const FormView::Probe& probe = view.probe;
  if (!probe.shown) {
    probeReadout_->hide();
    return;
  }
  if (view.Changed(FormView::kProbe)) {
    probeReadout_->setText(Text(probe.readout));
    probeReadout_->adjustSize();
    const QSize size = probeReadout_->size();
    const FormView& placed = model_.MeasureReadout(size.width(), size.height());
    probeReadout_->move(static_cast<int>(placed.probe.readoutLeftPx),
                        static_cast<int>(placed.probe.readoutTopPx));
  } else {
    probeReadout_->move(static_cast<int>(probe.readoutLeftPx),
                        static_cast<int>(probe.readoutTopPx));
  }
  probeReadout_->show();
  probeReadout_->raise();
}

void FormWindow::Fail(const QString& message) {
  if (reported_) return;
  reported_ = true;
  QMessageBox::critical(this, QApplication::applicationName(), message);
  // exit() ends only an event loop that runs. A failure before the loop
  // starts (in the load handler, or while the window is shown) ends it as
  // soon as it does.
  QCoreApplication::exit(1);
  QTimer::singleShot(0, this, [] { QCoreApplication::exit(1); });
}

// Copies the finished picture; the frame always covers the whole window.
void FormWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const qreal dpr = image_.devicePixelRatio();
  const QRect r = event->rect();
  painter.drawImage(
      QRectF(r), image_,
      QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
  PaintLineOrders(painter, model_.view().labels);
  PaintProbe(painter, model_.view().probe);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  picture_->setGeometry(rect());
  Show(model_.Resize(width(), height(), devicePixelRatioF()));
}

void FormWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Show(model_.Resize(width(), height(), devicePixelRatioF()));
  if (activated_) return;
  activated_ = true;
  // With no window manager the focus arrives only once the window asks.
  QTimer::singleShot(0, this, [this] {
    activateWindow();
    if (firstFocus_ != nullptr) firstFocus_->setFocus();
  });
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  QWidget* under = childAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton ||
      (under != nullptr && under != probeReadout_ && under != probeGraph_)) {
    QWidget::mousePressEvent(event);
    return;
  }
  pressing_ = true;
  const ScreenMapping& m = model_.mapping();
  Show(model_.PressPicture(m.ToTwips(event->position().x()),
                           m.ToTwips(event->position().y())));
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!pressing_) return;
  const ScreenMapping& m = model_.mapping();
  Show(model_.DragPicture(m.ToTwips(event->position().x()),
                          m.ToTwips(event->position().y())));
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (pressing_) Show(model_.ReleasePicture());
  pressing_ = false;
  QWidget::mouseReleaseEvent(event);
}

bool FormWindow::OfferKey(QKeyEvent* event, QObject* focus) {
  if (extras_->OfferKey(*event)) return true;
  window::KeyPress key = KeyPressOf(*event);
  if (key.key == window::Key::kOther) return false;
  if (const auto it = ids_.find(focus); it != ids_.end())
    key.focus = it->second;
  const FormView& view = model_.KeyDown(key);
  const bool taken = view.keyTaken;
  Show(view);
  return taken;
}

// Right click, the Menu key, a long press where the platform makes one a
// context menu; Shift+F10 comes by OfferKey.
void FormWindow::contextMenuEvent(QContextMenuEvent* event) {
  extras_->PopupAt(event->globalPos());
}

// Keys a control leaves come back here: they were offered already.
void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (ids_.contains(QApplication::focusWidget()) || !OfferKey(event, nullptr)) {
    QWidget::keyPressEvent(event);
  }
}

// A control's keys come here first; those the model leaves go on to it.
bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      OfferKey(static_cast<QKeyEvent*>(event), watched)) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace wave::form

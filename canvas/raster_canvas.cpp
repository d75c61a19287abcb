#include "canvas/raster_canvas.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <cmath>
#include <new>

namespace wave {
namespace {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QColor DefaultBackground() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    return QGuiApplication::palette().color(QPalette::Window);
  }
  return QColor(240, 240, 240);
}

QImage NewImage(QSize logical, qreal devicePixelRatio, QColor background) {
  const QSize device(
      static_cast<int>(std::ceil(logical.width() * devicePixelRatio)),
      static_cast<int>(std::ceil(logical.height() * devicePixelRatio)));
  QImage image(device.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  if (image.isNull()) throw std::bad_alloc();
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(background);
  return image;
}

// Chord deviation allowed for computed arcs, in logical pixels.
constexpr double kArcTolerance = 0.05;

}  // namespace

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel)
    : RasterCanvas(pixels, twipsPerPixel, 1.0, DefaultBackground()) {}

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel,
                           qreal devicePixelRatio, QColor background)
    : image_(NewImage(pixels, devicePixelRatio, background)),
      logical_(pixels),
      twipsPerPixel_(twipsPerPixel),
      background_(background) {}

RasterCanvas::~RasterCanvas() { EndPainting(); }

QPainter& RasterCanvas::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, true);
  }
  return *painter_;
}

void RasterCanvas::EndPainting() const { painter_.reset(); }

const QImage& RasterCanvas::image() const {
  EndPainting();
  return image_;
}

void RasterCanvas::Resize(QSize pixels, qreal devicePixelRatio) {
  EndPainting();
  QImage next = NewImage(pixels, devicePixelRatio, background_);
  {
    QPainter copy(&next);
    copy.drawImage(QPointF(0, 0), image_);
  }
  image_ = std::move(next);
  logical_ = pixels;
}

Rect RasterCanvas::PixelBounds() const {
  return {0, 0, static_cast<double>(logical_.width()),
          static_cast<double>(logical_.height())};
}

void RasterCanvas::Cls() {
  QPainter& p = Painter();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(QRectF(QPointF(0, 0), QSizeF(image_.deviceIndependentSize())),
             background_);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void RasterCanvas::SetDrawWidth(int pixels) { drawWidth_ = pixels; }
void RasterCanvas::SetDrawStyle(int style) { drawStyle_ = style; }
void RasterCanvas::SetFillStyle(int style) { fillStyle_ = style; }
void RasterCanvas::SetFillColor(Color color) { fillColor_ = color; }

namespace {

// Broken styles show only on one-pixel pens; wider pens draw solid.
QPen MakePen(QColor color, int width, int style) {
  Qt::PenStyle penStyle = Qt::SolidLine;
  if (style == 5) {
    penStyle = Qt::NoPen;
  } else if (width <= 1) {
    switch (style) {
      case 1:
        penStyle = Qt::DashLine;
        break;
      case 2:
        penStyle = Qt::DotLine;
        break;
      case 3:
        penStyle = Qt::DashDotLine;
        break;
      case 4:
        penStyle = Qt::DashDotDotLine;
        break;
      default:
        break;
    }
  }
  return QPen(color, std::max(width, 1), penStyle, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

void RasterCanvas::Circle(float x, float y, float radius, Color color) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return;
  if (radius < 0) return;
  const Point centre{x / twipsPerPixel_, y / twipsPerPixel_};
  const double r = radius / twipsPerPixel_;
  const double halfPen = std::max(drawWidth_, 1) / 2.0;
  const Rect bounds = PixelBounds();
  if (NearestDistance(centre, bounds) > r + halfPen + 1) return;

  QPainter& p = Painter();
  const QPen pen = MakePen(ToQColor(color), drawWidth_, drawStyle_);
  const bool filled = fillStyle_ == kFillSolid;
  if (r == 0) {
    p.setPen(pen);
    p.drawPoint(QPointF(centre.x, centre.y));
    return;
  }
  if (r < halfPen && pen.style() != Qt::NoPen) {
    // The pen covers the centre: the stroke is a disc. QPainter would leave
    // a hole where the inner edge of the stroke turns inside out.
    p.setPen(Qt::NoPen);
    p.setBrush(pen.color());
    p.drawEllipse(QPointF(centre.x, centre.y), r + halfPen, r + halfPen);
    return;
  }
  if (r <= kArcRadiusPixels) {
    p.setPen(pen);
    p.setBrush(filled ? QBrush(ToQColor(fillColor_)) : QBrush(Qt::NoBrush));
    p.drawEllipse(QPointF(centre.x, centre.y), r, r);
    return;
  }
  if (filled) FillDisc(centre, r);
  if (r - halfPen - 1 > FarthestDistance(centre, bounds)) return;
  StrokeArcs(centre, r, ToQColor(color));
}

void RasterCanvas::FillDisc(Point centre, double radius) {
  const double rowStep = 0.5 / image_.devicePixelRatio();
  const std::vector<Point> outline =
      ClippedDisc(centre, radius, PixelBounds().Expanded(2), rowStep);
  if (outline.size() < 3) return;
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(outline.size()));
  for (const Point& q : outline) polygon.append(QPointF(q.x, q.y));
  QPainter& p = Painter();
  p.setPen(Qt::NoPen);
  p.setBrush(ToQColor(fillColor_));
  p.drawPolygon(polygon);
}

void RasterCanvas::StrokeArcs(Point centre, double radius, QColor color) {
  const double margin = std::max(drawWidth_, 1) / 2.0 + 2;
  const auto arcs = VisibleArcs(centre, radius, PixelBounds().Expanded(margin),
                                kArcTolerance);
  if (arcs.empty()) return;
  QPainter& p = Painter();
  p.setPen(MakePen(color, drawWidth_, drawStyle_));
  p.setBrush(Qt::NoBrush);
  for (const auto& arc : arcs) {
    QPolygonF polyline;
    polyline.reserve(static_cast<qsizetype>(arc.size()));
    for (const Point& q : arc) polyline.append(QPointF(q.x, q.y));
    p.drawPolyline(polyline);
  }
}

void RasterCanvas::Line(float x1, float y1, float x2, float y2, Color color) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
      !std::isfinite(y2)) {
    return;
  }
  const double margin = std::max(drawWidth_, 1) / 2.0 + 2;
  const auto clipped = ClipSegment({x1 / twipsPerPixel_, y1 / twipsPerPixel_},
                                   {x2 / twipsPerPixel_, y2 / twipsPerPixel_},
                                   PixelBounds().Expanded(margin));
  if (!clipped) return;
  QPainter& p = Painter();
  p.setPen(MakePen(ToQColor(color), drawWidth_, drawStyle_));
  p.drawLine(QLineF(clipped->first.x, clipped->first.y, clipped->second.x,
                    clipped->second.y));
}

}  // namespace wave

#include "ui/style/Glyphs.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <map>
#include <tuple>

namespace tessarapane::ui {

namespace {

// Semibold strokes: about a seventh of the point size.
constexpr double kStrokeRatio = 0.14;
// Glyph outlines kept; more only come from a stream of new sizes.
constexpr std::size_t kKeptOutlines = 64;

QPainterPath stroked(const QPainterPath& centreLine, double width) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(Qt::RoundCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(centreLine).simplified();
}

// Centre lines in a unit square (0 ... 1, y down).
QPainterPath xmarkLine(double inset) {
  QPainterPath line;
  line.moveTo(inset, inset);
  line.lineTo(1 - inset, 1 - inset);
  line.moveTo(1 - inset, inset);
  line.lineTo(inset, 1 - inset);
  return line;
}

QPainterPath leftArrowLine() {
  QPainterPath line;
  line.moveTo(0.94, 0.5);
  line.lineTo(0.06, 0.5);
  line.moveTo(0.46, 0.12);
  line.lineTo(0.06, 0.5);
  line.lineTo(0.46, 0.88);
  return line;
}

QPainterPath checkmarkLine(double inset) {
  QPainterPath line;
  line.moveTo(inset, 0.52);
  line.lineTo(0.38, 0.86 - inset * 0.5);
  line.lineTo(1 - inset, 0.14 + inset * 0.5);
  return line;
}

QPainterPath scaled(const QPainterPath& unit, double side) {
  return QTransform::fromScale(side, side).map(unit);
}

// A filled disc with the line cut out of it.
QPainterPath discWithout(const QPainterPath& unitLine, double side, double strokeWidth) {
  QPainterPath disc;
  disc.addEllipse(QRectF(0, 0, side, side));
  return disc.subtracted(stroked(scaled(unitLine, side), strokeWidth));
}

QPainterPath windowOnRectangle(double side, double strokeWidth) {
  // A window in front of a larger rectangle behind it, up and to the right.
  QPainterPath back;
  back.addRoundedRect(QRectF(side * 0.22, side * 0.1, side * 0.72, side * 0.58), side * 0.08, side * 0.08);
  QPainterPath front;
  const QRectF frontRect(side * 0.06, side * 0.32, side * 0.7, side * 0.56);
  front.addRoundedRect(frontRect, side * 0.08, side * 0.08);
  QPainterPath outline = stroked(back, strokeWidth).subtracted(front);
  QPainterPath frontOutline = stroked(front, strokeWidth);
  QPainterPath titleBar;
  titleBar.addRect(QRectF(frontRect.left(), frontRect.top(), frontRect.width(), side * 0.14));
  return outline.united(frontOutline).united(titleBar.intersected(front));
}

QPainterPath unitGlyph(Glyph glyph, double side, double strokeWidth) {
  switch (glyph) {
    case Glyph::xmark: return stroked(scaled(xmarkLine(0.1), side), strokeWidth);
    case Glyph::arrowLeft: return stroked(scaled(leftArrowLine(), side), strokeWidth);
    case Glyph::arrowRight:
    case Glyph::arrowUp:
    case Glyph::arrowDown: {
      const double angle = glyph == Glyph::arrowRight ? 180.0 : glyph == Glyph::arrowUp ? 90.0 : 270.0;
      QTransform turn;
      turn.translate(side / 2, side / 2);
      turn.rotate(angle);
      turn.translate(-side / 2, -side / 2);
      return turn.map(stroked(scaled(leftArrowLine(), side), strokeWidth));
    }
    case Glyph::checkmark: return stroked(scaled(checkmarkLine(0.08), side), strokeWidth);
    case Glyph::xmarkCircleFill: return discWithout(xmarkLine(0.33), side, strokeWidth);
    case Glyph::checkmarkCircleFill: return discWithout(checkmarkLine(0.27), side, strokeWidth);
    case Glyph::windowOnRectangle: return windowOnRectangle(side, strokeWidth);
  }
  return {};
}

}  // namespace

double glyphSide(double pointSize) { return pointSize * 0.8; }

QPainterPath glyphPath(Glyph glyph, const QRectF& bounds, double pointSize) {
  double side = glyphSide(pointSize);
  double strokeWidth = pointSize * kStrokeRatio;
  const double room = std::min(bounds.width(), bounds.height());
  if (room > 0 && side + strokeWidth > room) {
    const double factor = room / (side + strokeWidth);
    side *= factor;
    strokeWidth *= factor;
  }
  // Stroking and cutting the outlines is costly, and a strip paints the same
  // few glyphs at the same few sizes again and again.
  static std::map<std::tuple<Glyph, double, double>, QPainterPath> outlines;
  const auto key = std::make_tuple(glyph, side, strokeWidth);
  auto found = outlines.find(key);
  if (found == outlines.end()) {
    if (outlines.size() >= kKeptOutlines) outlines.clear();
    found = outlines.emplace(key, unitGlyph(glyph, side, strokeWidth)).first;
  }
  const QPainterPath& path = found->second;
  const QPointF offset = bounds.center() - QPointF(side / 2, side / 2);
  return path.translated(offset);
}

void paintGlyph(QPainter& painter, Glyph glyph, const QRectF& bounds, double pointSize, const QColor& color) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawPath(glyphPath(glyph, bounds, pointSize));
  painter.restore();
}

}  // namespace tessarapane::ui

#include "platform/qt/icons.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <cmath>

namespace qtui {
namespace {

// Each icon is drawn on a 16 by 16 grid; the painter is scaled to the size asked for.
using Drawing = void (*)(QPainter&);

// Fills and accents of the drawings; outlines and glyphs use the palette.
const QColor kGreen(46, 160, 67);
const QColor kBlue(47, 111, 208);
const QColor kOrange(224, 123, 32);
const QColor kPurple(128, 84, 196);
const QColor kPaper(250, 250, 246);
const QColor kInk(70, 76, 84);

void drawCheck(QPainter& p) {
  QPainterPath tick;
  tick.moveTo(2.5, 8.5);
  tick.lineTo(6.5, 12.5);
  tick.lineTo(13.5, 3.5);
  p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tick);
}

void drawGlyphBadge(QPainter& p, const QColor& fill, const QString& glyph, bool round) {
  p.setPen(QPen(fill.darker(130), 1));
  p.setBrush(fill);
  if (round) {
    p.drawEllipse(QRectF(1, 1, 14, 14));
  } else {
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
  }
  QFont font = QGuiApplication::font();
  font.setBold(true);
  font.setPixelSize(glyph.size() > 1 ? 7 : 11);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, glyph);
}

void drawQuestion(QPainter& p) { drawGlyphBadge(p, kBlue, QStringLiteral("?"), true); }
void drawClassic(QPainter& p) { drawGlyphBadge(p, kOrange, QStringLiteral("</>"), false); }
void drawStudio(QPainter& p) { drawGlyphBadge(p, kPurple, QStringLiteral("{ }"), false); }

// A page with a folded corner and lines of text.
void drawPage(QPainter& p, const QColor& lines) {
  QPainterPath page;
  page.moveTo(3, 1.5);
  page.lineTo(10, 1.5);
  page.lineTo(13.5, 5);
  page.lineTo(13.5, 14.5);
  page.lineTo(3, 14.5);
  page.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawPath(page);
  p.drawLine(QPointF(10, 1.5), QPointF(10, 5));
  p.drawLine(QPointF(10, 5), QPointF(13.5, 5));
  p.setPen(QPen(lines, 1.2, Qt::SolidLine, Qt::RoundCap));
  for (const double y : {7.5, 9.5, 11.5}) p.drawLine(QPointF(5, y), QPointF(11.5, y));
}

void drawWorkingCode(QPainter& p) {
  drawPage(p, kInk);
  p.translate(5, 6);
  p.scale(0.7, 0.7);
  drawCheck(p);
}

void drawCode(QPainter& p) { drawPage(p, kInk.lighter(160)); }

void drawFormattedPage(QPainter& p) {
  drawPage(p, kBlue);
  // A small star: the page is tidied.
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = (i % 2 == 0) ? 3.2 : 1.3;
    const double a = 3.14159265 / 2 + i * 3.14159265 / 5;
    const QPointF pt(12 + r * std::cos(a), 3.5 - r * std::sin(a));
    i == 0 ? star.moveTo(pt) : star.lineTo(pt);
  }
  star.closeSubpath();
  p.setPen(QPen(kOrange.darker(140), 0.6));
  p.setBrush(kOrange);
  p.drawPath(star);
}

// The program's mark, as resources/dockmark.ico has it: a blue tile with a white jetty (a
// deck on three posts) over a wave.
void drawDockMark(QPainter& p) {
  QLinearGradient blue(0, 0, 0, 16);
  blue.setColorAt(0, QColor(30, 120, 200));
  blue.setColorAt(1, QColor(20, 70, 140));
  p.setPen(Qt::NoPen);
  p.setBrush(blue);
  p.drawRoundedRect(QRectF(0, 0, 16, 16), 3.2, 3.2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.52, 5.76, 8.96, 1.6));
  for (const double x : {4.8, 8.0, 11.2}) p.drawRect(QRectF(x - 0.72, 7.36, 1.44, 3.2));
  QPainterPath wave;
  for (int i = 0; i <= 24; ++i) {
    const double u = 0.16 + 0.68 * i / 24;
    const QPointF at(u * 16, (0.72 + 0.04 * std::sin(u * 4 * 3.14159265)) * 16);
    i == 0 ? wave.moveTo(at) : wave.lineTo(at);
  }
  p.setPen(QPen(Qt::white, 1.12, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(wave);
}

struct Named {
  const char* key;
  Drawing draw;
};

constexpr std::array<Named, 8> kDrawings{{
    {"check1", drawCheck},
    {"question", drawQuestion},
    {"classic", drawClassic},
    {"studio", drawStudio},
    {"14", drawWorkingCode},
    {"16", drawCode},
    {"autoformatdoc", drawFormattedPage},
    {"dockmark", drawDockMark},
}};

QString iconKey(std::string_view name) {
  QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
  if (key.startsWith(QLatin1Char('~'))) key.remove(0, 1);
  key = QFileInfo(key).completeBaseName();
  return key.toLower();
}

Drawing drawingOf(std::string_view name) {
  const QString key = iconKey(name);
  for (const Named& n : kDrawings) {
    if (key == QLatin1String(n.key)) return n.draw;
  }
  return nullptr;
}

class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(Drawing draw) : draw_(draw) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    const int side = std::min(rect.width(), rect.height());
    painter->translate(rect.x() + (rect.width() - side) / 2.0,
                       rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / 16.0, side / 16.0);
    draw_(*painter);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // `size` is in device pixels already; QIcon gives the pixmap its pixel ratio.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }

  QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }

 private:
  Drawing draw_;
};

}  // namespace

bool isDrawnIcon(std::string_view name) { return drawingOf(name) != nullptr; }

QIcon iconOf(std::string_view name) {
  if (Drawing draw = drawingOf(name)) return QIcon(new DrawnIconEngine(draw));
  QString path = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.isEmpty() || path.startsWith(QLatin1Char('~')) || !QFileInfo(path).isFile()) return {};
  QIcon icon(path);
  return icon.availableSizes().isEmpty() && icon.pixmap(16).isNull() ? QIcon() : icon;
}

}  // namespace qtui

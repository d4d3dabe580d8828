#include "platform/qt/icons.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>

namespace qtui {
namespace {

// Each icon is drawn on a 16 by 16 grid; the painter is scaled to the size asked for.
using Drawing = void (*)(QPainter&);

// Fills and accents of the drawings; outlines and glyphs use the palette.
const QColor kGreen(46, 160, 67);
const QColor kBlue(47, 111, 208);
const QColor kOrange(224, 123, 32);
const QColor kPurple(128, 84, 196);
const QColor kTeal(22, 138, 150);
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

// The program's mark: a jetty with its posts in the water, on a rounded tile.
void drawDockMark(QPainter& p) {
  QLinearGradient sky(0, 0, 0, 16);
  sky.setColorAt(0, kTeal.lighter(130));
  sky.setColorAt(1, kTeal.darker(120));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(2, 6.5, 12, 2.2), 0.8, 0.8);
  for (const double x : {3.2, 7.4, 11.6}) p.drawRect(QRectF(x, 8.5, 1.4, 4));
  p.setPen(QPen(QColor(255, 255, 255, 150), 0.9, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 13.5));
  // A game pad's buttons over the jetty.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 230));
  p.drawEllipse(QRectF(9.5, 2.2, 2.4, 2.4));
  p.drawEllipse(QRectF(12, 3.6, 1.8, 1.8));
  p.drawRect(QRectF(3, 3.1, 4, 1.2));
  p.drawRect(QRectF(4.4, 1.7, 1.2, 4));
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

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
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

#include "platform/qt/look.h"

#include <QWidget>
#include <array>
#include <utility>

#include "platform/window/properties.h"

namespace qtui {
namespace {

constexpr unsigned kSystemColor = 0x80000000u;

// System colour indexes and the palette roles that stand for them.
constexpr std::array<std::pair<int, QPalette::ColorRole>, 12> kSystemRoles{{
    {1, QPalette::Window},      // desktop
    {4, QPalette::Window},      // menu
    {5, QPalette::Base},        // window background
    {7, QPalette::WindowText},  // menu text
    {8, QPalette::Text},        // window text
    {13, QPalette::Highlight},  // selection
    {14, QPalette::HighlightedText},
    {15, QPalette::Button},  // button face
    {16, QPalette::Mid},     // button shadow
    {18, QPalette::ButtonText},
    {23, QPalette::ToolTipText},
    {26, QPalette::Link},  // hot-tracked items, links
}};
constexpr int kGrayText = 17;

// The name of a cursor without its "~", folder and extension, in lower case.
QString cursorKey(std::string_view name) {
  QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
  if (key.startsWith(QLatin1Char('~'))) key.remove(0, 1);
  const qsizetype slash =
      std::max(key.lastIndexOf(QLatin1Char('/')), key.lastIndexOf(QLatin1Char('\\')));
  if (slash >= 0) key.remove(0, slash + 1);
  if (key.contains(QLatin1Char(':'))) key = key.section(QLatin1Char(':'), -1);
  const qsizetype dot = key.lastIndexOf(QLatin1Char('.'));
  if (dot > 0) key.truncate(dot);
  return key.toLower();
}

}  // namespace

QColor colorOf(int value, const QPalette& palette) {
  if (value == window::ColorNone) return {};
  const auto bits = static_cast<unsigned>(value);
  if (bits & kSystemColor) {
    const int index = static_cast<int>(bits & 0xFFu);
    if (index == kGrayText) return palette.color(QPalette::Disabled, QPalette::Text);
    for (const auto& [system, role] : kSystemRoles) {
      if (system == index) return palette.color(QPalette::Active, role);
    }
    return {};
  }
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

QFont fontOf(const QFont& base, int fontStyle) {
  QFont font = base;
  const int weight = fontStyle & 0xFFF;
  if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic((fontStyle & window::FontItalic) != 0);
  font.setUnderline((fontStyle & window::FontUnderline) != 0);
  font.setStrikeOut((fontStyle & window::FontStrikeout) != 0);
  return font;
}

void setTextColor(QWidget& widget, const QColor& color) {
  QPalette palette = widget.palette();
  const QPalette inherited = widget.parentWidget() ? widget.parentWidget()->palette() : QPalette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      palette.setColor(group, role, color.isValid() ? color : inherited.color(group, role));
    }
  }
  widget.setPalette(palette);
}

std::optional<QCursor> cursorOf(std::string_view name) {
  const QString key = cursorKey(name);
  if (key.isEmpty()) return std::nullopt;
  if (key.contains(QLatin1String("hand")) || key == QLatin1String("link")) {
    return QCursor(Qt::PointingHandCursor);
  }
  static const std::array<std::pair<const char*, Qt::CursorShape>, 12> kShapes{{
      {"arrow", Qt::ArrowCursor},
      {"ibeam", Qt::IBeamCursor},
      {"wait", Qt::WaitCursor},
      {"cross", Qt::CrossCursor},
      {"uparrow", Qt::UpArrowCursor},
      {"sizeall", Qt::SizeAllCursor},
      {"sizenwse", Qt::SizeFDiagCursor},
      {"sizenesw", Qt::SizeBDiagCursor},
      {"sizewe", Qt::SizeHorCursor},
      {"sizens", Qt::SizeVerCursor},
      {"no", Qt::ForbiddenCursor},
      {"appstarting", Qt::BusyCursor},
  }};
  for (const auto& [shapeName, shape] : kShapes) {
    if (key == QLatin1String(shapeName)) return QCursor(shape);
  }
  if (key == QLatin1String("help")) return QCursor(Qt::WhatsThisCursor);
  return QCursor(Qt::ArrowCursor);
}

}  // namespace qtui

// The translations between Qt and the engine: key codes, colour values, font styles, cursor
// names, drawn icons and dialog units.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QKeyEvent>

#include "platform/qt/dialog_units.h"
#include "platform/qt/icons.h"
#include "platform/qt/look.h"
#include "platform/qt/qt_keys.h"
#include "platform/window/key_codes.h"
#include "platform/window/properties.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window;

TEST(QtMappings, KeyEventsGiveTheEngineCodesAndBack) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code;
  };
  const Case cases[] = {
      {Qt::Key_Tab, Qt::NoModifier, TabKey},
      {Qt::Key_Backtab, Qt::ShiftModifier, ShiftKey + TabKey},
      {Qt::Key_Return, Qt::NoModifier, EnterKey},
      {Qt::Key_Escape, Qt::NoModifier, EscKey},
      {Qt::Key_Down, Qt::NoModifier, DownKey},
      {Qt::Key_End, Qt::ShiftModifier, ShiftKey + EndKey},
      {Qt::Key_Delete, Qt::NoModifier, DeleteKey},
      {Qt::Key_F1, Qt::NoModifier, F1Key},
      {Qt::Key_H, Qt::ControlModifier, CtrlH},
      {Qt::Key_A, Qt::AltModifier, AltKey + 'A'},
      {Qt::Key_7, Qt::NoModifier, '7'},
      {Qt::Key_Q, Qt::ShiftModifier | Qt::ControlModifier, ShiftKey + CtrlKey + 'Q'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(keyCodeOf(QKeyEvent(QEvent::KeyPress, c.key, c.modifiers)), c.code);
    const auto back = keyEventOf(c.code, QEvent::KeyPress);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->key(), c.key);
    EXPECT_EQ(back->modifiers(), c.modifiers);
  }
  // A key the engine has no code for is left to the widget.
  EXPECT_EQ(keyCodeOf(QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier)), 0);
  EXPECT_EQ(keyCodeOf(QKeyEvent(QEvent::KeyPress, Qt::Key_Comma, Qt::NoModifier)), 0);
  // Synthetic keys type what the key types.
  EXPECT_EQ(keyEventOf('A', QEvent::KeyPress)->text(), QStringLiteral("a"));
  EXPECT_EQ(keyEventOf(ShiftKey + 'A', QEvent::KeyPress)->text(), QStringLiteral("A"));
  EXPECT_EQ(keyEventOf(CtrlKey + 'A', QEvent::KeyPress)->text(), QString());
}

TEST(QtMappings, ColourValuesAreBlueGreenRedOrThePalettes) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 5, 6));
  EXPECT_EQ(colorOf(0x0000FF, palette), QColor(255, 0, 0));
  EXPECT_EQ(colorOf(0x00FF00, palette), QColor(0, 255, 0));
  EXPECT_EQ(colorOf(0xFF0000, palette), QColor(0, 0, 255));
  EXPECT_EQ(colorOf(0x123456, palette), QColor(0x56, 0x34, 0x12));
  EXPECT_FALSE(colorOf(ColorNone, palette).isValid());
  EXPECT_EQ(colorOf(static_cast<int>(0x8000000Du), palette), QColor(1, 2, 3));  // highlight
  EXPECT_EQ(colorOf(static_cast<int>(0x80000011u), palette), QColor(4, 5, 6));  // grey text
}

TEST(QtMappings, FontStylesSetWeightAndLines) {
  const QFont base;
  const QFont bold = fontOf(base, FontWeightBold | FontItalic);
  EXPECT_EQ(bold.weight(), QFont::Bold);
  EXPECT_TRUE(bold.italic());
  EXPECT_FALSE(bold.underline());
  const QFont link = fontOf(base, FontUnderline);
  EXPECT_TRUE(link.underline());
  EXPECT_EQ(link.weight(), base.weight());
  EXPECT_TRUE(fontOf(base, FontStrikeout).strikeOut());
}

int paintedPixels(const QImage& image) {
  int painted = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) painted += image.pixelColor(x, y).alpha() > 0;
  }
  return painted;
}

TEST(QtMappings, CursorNamesAndIcons) {
  backend();
  EXPECT_EQ(cursorOf("~hand2.cur")->shape(), Qt::PointingHandCursor);
  EXPECT_EQ(cursorOf("hand.cur")->shape(), Qt::PointingHandCursor);
  EXPECT_EQ(cursorOf("IBeam")->shape(), Qt::IBeamCursor);
  EXPECT_FALSE(cursorOf("").has_value());
  for (const char* name : {"dockmark.ico", "~CHECK1.ICO", "~classic.ico", "~question.ico",
                           "~studio.ico", "~14.ico", "~16.ico", "AutoformatDoc.ico"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(isDrawnIcon(name));
    // Drawn at any size and density.
    const QPixmap big = iconOf(name).pixmap(QSize(32, 32), 2.0);
    EXPECT_EQ(big.size(), QSize(64, 64));
    EXPECT_EQ(big.devicePixelRatio(), 2.0);
    EXPECT_GT(paintedPixels(big.toImage()), 64 * 64 / 20);
  }
  EXPECT_TRUE(iconOf("~nothing.ico").isNull());
  EXPECT_TRUE(iconOf("/no/such/file.png").isNull());
}

TEST(QtMappings, DialogUnitsFollowTheFontAndNeighboursTouch) {
  backend();
  QFont font;
  font.setPixelSize(13);
  const DialogUnits units(font);
  const QFontMetricsF metrics(font);
  EXPECT_NEAR(units.charHeight(), metrics.height(), 0.01);
  EXPECT_EQ(units.y(8), qRound(metrics.height()));
  EXPECT_EQ(units.x(4), qRound(units.charWidth()));
  // Two controls that touch in dialog units touch on the screen.
  const QRect left = units.rect(Rect{3, 5, 7, 9});
  const QRect right = units.rect(Rect{10, 5, 7, 9});
  EXPECT_EQ(left.right() + 1, right.left());
  // Pixels back to units round trip.
  for (int du : {0, 1, 7, 100, 260}) {
    EXPECT_EQ(units.unitsX(units.x(du)), du);
    EXPECT_EQ(units.unitsY(units.y(du)), du);
  }
  QFont larger = font;
  larger.setPixelSize(26);
  EXPECT_GT(DialogUnits(larger).x(100), units.x(100) * 3 / 2);
}

}  // namespace
}  // namespace qtui::testing

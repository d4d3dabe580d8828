// Saves pictures of the test window as the Qt backend draws it (build/screenshots/*.png), in
// the platform's light palette and in a dark one, at twice the screen density, and with a
// message box over it; they are looked at by eye for overlaps, clipped texts and scaling.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QTimer>
#include <cstring>
#include <vector>

#include "platform/qt/icons.h"
#include "platform/runtime/message.h"
#include "platform/window/properties.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;

// Saves a picture of `widget` as `name`.png in the screenshot folder.
void save(QWidget* widget, const QString& name) {
  QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
  ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
  const QString path = folder.filePath(name + QStringLiteral(".png"));
  EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

Action picture(const QString& name) {
  return [name](Window& w) { save(backend().windowWidget(w), name); };
}

// The window drawn for a screen of twice the density: texts, frames and icons stay sharp.
Action pictureAtTwice(const QString& name) {
  return [name](Window& w) {
    QWidget* widget = backend().windowWidget(w);
    QPixmap pixmap(widget->size() * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(widget->palette().color(QPalette::Window));
    widget->render(&pixmap);
    QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    EXPECT_TRUE(pixmap.save(folder.filePath(name + QStringLiteral(".png"))));
  };
}

// Fills the window's variables and gives the name string the look of a link.
void fill(Window& w) {
  if (window::EVENT() != window::EventOpenWindow) return;
  TestVars& v = vars();
  std::strcpy(v.name, "Ann Example");
  v.count = 1234;
  v.active = 1;
  std::strcpy(v.ide, "Studio");
  std::strcpy(v.notes, "First line\r\nSecond line");
  std::strcpy(v.line, "One line");
  v.spin = 5;
  std::strcpy(v.colour, "Blue");
  window::DISPLAY();
  w.setProperty(kNameString, window::PropFontColor, 0xFF0000);  // blue
  w.setProperty(kNameString, window::PropFontStyle, window::FontUnderline);
  w.setProperty(kNameString, window::PropCursor, "~hand2.cur");
  w.setProperty(kProgress, window::PropProgress, 6);
  w.setProperty(0, window::PropStatusText, "Ready", 2);
  w.setProperty(kList, window::PropSelected, 2);
}

TEST(QtScreenshots, TestWindowInLightAndDarkPalettes) {
  reset();
  runInQt({picture(QStringLiteral("test_window")), pictureAtTwice(QStringLiteral("test_window_2x")),
           clickTab(kSheet, 1), picture(QStringLiteral("test_window_tab_two")), closeBox()},
          fill);

  const QPalette light = QApplication::palette();
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(30, 30, 32));
  dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(60, 60, 64));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(38, 110, 200));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Mid, QColor(90, 90, 96));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
  QApplication::setPalette(dark);
  reset();
  runInQt({picture(QStringLiteral("test_window_dark")), closeBox()}, fill);
  QApplication::setPalette(light);
}

TEST(QtScreenshots, DrawnIconsAtThreeSizes) {
  backend();
  const char* names[] = {"dockmark.ico", "~CHECK1.ICO", "~classic.ico", "~question.ico",
                         "~studio.ico",  "~14.ico",     "~16.ico",      "AutoformatDoc.ico"};
  constexpr int kSides[] = {16, 32, 64};
  QPixmap sheet(8 * 72, 3 * 72);
  sheet.fill(QApplication::palette().color(QPalette::Window));
  QPainter p(&sheet);
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int side = kSides[j];
      iconOf(names[i]).paint(&p,
                             QRect(i * 72 + (72 - side) / 2, j * 72 + (72 - side) / 2, side, side));
    }
  }
  p.end();
  QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
  ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
  EXPECT_TRUE(sheet.save(folder.filePath(QStringLiteral("icons.png"))));
}

TEST(QtScreenshots, MessageBoxOverTheWindow) {
  reset();
  int answer = 0;
  const auto ask = [&answer](Window&) {
    if (window::ACCEPTED() != kOkButton) return;
    answer = runtime::MESSAGE("The project was saved.|Open it in the IDE now?", "Save",
                              runtime::kIconQuestion, runtime::ButtonYes | runtime::ButtonNo,
                              runtime::ButtonYes);
  };
  const Action pictureOfBox = [](Window&) {
    QTimer::singleShot(50, [] {
      auto* box = dynamic_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      save(box, QStringLiteral("message_box"));
      box->button(QMessageBox::No)->click();
    });
  };
  runInQt({[&](Window& w) {
            pictureOfBox(w);
            click(kOkButton)(w);
          }},
          ask);
  EXPECT_EQ(answer, runtime::ButtonNo);
}

// The style's focus frame marks where the focus is, whether the engine or a click put it there:
// a button, a list's current row and a check look different with the focus and without it.
TEST(QtScreenshots, TheFocusedControlShowsTheStylesFocusFrame) {
  struct Look {
    int control;
    QImage focused;
    QImage unfocused;
  };
  std::vector<Look> looks = {{kOkButton, {}, {}}, {kList, {}, {}}, {kActiveCheck, {}, {}}};
  const auto grabAll = [&looks](QImage Look::*into) {
    return [&looks, into](Window& w) {
      for (Look& l : looks) (l.*into) = widgetOf(w, l.control)->grab().toImage();
    };
  };
  std::vector<Action> actions = {grabAll(&Look::unfocused)};
  for (std::size_t i = 0; i < looks.size(); ++i) {
    actions.push_back([&looks, i](Window&) { window::SELECT(looks[i].control); });
    actions.push_back([&looks, i](Window& w) {
      looks[i].focused = widgetOf(w, looks[i].control)->grab().toImage();
      save(backend().windowWidget(w), QStringLiteral("focus_frame_%1").arg(looks[i].control));
    });
  }
  actions.push_back(click(kOkButton));
  runInQt(actions, fill);
  for (const Look& l : looks) {
    SCOPED_TRACE(l.control);
    ASSERT_FALSE(l.focused.isNull());
    EXPECT_TRUE(l.focused != l.unfocused) << "no focus frame drawn";
  }
}

}  // namespace
}  // namespace qtui::testing

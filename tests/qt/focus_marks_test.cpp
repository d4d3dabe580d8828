// Where the focus is shows on every control that can take it: a read-only text keeps its caret
// for the keyboard, and a list with no rows frames the place of its first row.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>

#include "platform/window/key_codes.h"
#include "platform/window/properties.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;

// No rows at all.
class NoRows : public window::ListSource {
 public:
  std::size_t rowCount() const override { return 0; }
  window::Value field(std::size_t, int) const override { return window::Value::text(""); }
};

void save(QWidget* widget, const char* name) {
  QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
  ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
  EXPECT_TRUE(widget->grab().save(folder.filePath(QLatin1String(name) + QStringLiteral(".png"))));
}

TEST(QtFocusMarks, AReadOnlyTextKeepsItsCaretForTheKeyboard) {
  reset();
  registerTestWindow();
  bool looked = false;
  const auto readOnly = [](Window& w) { w.setProperty(kNotesText, window::PropReadOnly, 1); };
  runWindowInQt(kTestKey, kTestLabel,
                {clickTab(kSheet, 1), click(kNotesText),
                 [&](Window& w) {
                   auto* text = qobject_cast<QPlainTextEdit*>(widgetOf(w, kNotesText));
                   ASSERT_NE(text, nullptr);
                   EXPECT_TRUE(text->isReadOnly());
                   EXPECT_TRUE(text->hasFocus());
                   EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByKeyboard)
                       << "no caret shows where the focus is";
                   save(backend().windowWidget(w), "read_only_text_focused");
                   looked = true;
                   closeBox()(w);
                 }},
                {}, readOnly);
  EXPECT_TRUE(looked);
}

TEST(QtFocusMarks, AnEmptyListWithTheFocusFramesItsFirstRowsPlace) {
  reset();
  NoRows none;
  QImage without;
  QImage with;
  runInQt({[&](Window& w) {
             auto* list = qobject_cast<QAbstractItemView*>(widgetOf(w, kList));
             ASSERT_NE(list, nullptr);
             EXPECT_FALSE(list->hasFocus());
             without = list->viewport()->grab().toImage();
             click(kList)(w);
           },
           [&](Window& w) {
             auto* list = qobject_cast<QAbstractItemView*>(widgetOf(w, kList));
             EXPECT_TRUE(list->hasFocus());
             with = list->viewport()->grab().toImage();
             save(backend().windowWidget(w), "empty_list_focused");
             closeBox()(w);
           }},
          {}, &none);
  ASSERT_FALSE(with.isNull());
  EXPECT_NE(with, without) << "the focus leaves no mark on an empty list";
}

}  // namespace
}  // namespace qtui::testing

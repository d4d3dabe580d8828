#include "qt_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "platform/qt/qt_keys.h"
#include "platform/runtime/message.h"
#include "platform/window/engine.h"

namespace qtui::testing {

using namespace window::testing;

namespace {

// The offscreen platform says so each time a window asks for what it cannot do (raise, grab
// the keyboard); the rest of Qt's messages go out as usual.
QtMessageHandler standardMessages = nullptr;

void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!text.startsWith(QLatin1String("This plugin does not support"))) {
    standardMessages(type, context, text);
  }
}

// The backend lives from the first test that needs it to the end of the test program, and
// goes (with Qt) before the program ends.
class QtEnvironment : public ::testing::Environment {
 public:
  QtBackend& backend() {
    if (!backend_) {
#ifdef GD_OFFSCREEN_CONFIG
      // A test program whose windows outgrow the offscreen default of 800 x 600 names a screen
      // of its own, unless another platform was asked for.
      const char* platform = std::getenv("QT_QPA_PLATFORM");
      if (platform == nullptr || std::string_view(platform) == "offscreen")
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" GD_OFFSCREEN_CONFIG, 1);
#else
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
      standardMessages = qInstallMessageHandler(quietOffscreenNotes);
      backend_ = std::make_unique<QtBackend>(argc_, argv_);
    }
    return *backend_;
  }
  void TearDown() override { backend_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QtBackend> backend_;
};

QtEnvironment* const environment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

QtBackend& backend() { return environment->backend(); }

std::vector<EventRecord> withoutMouse(std::vector<EventRecord> events) {
  for (EventRecord& e : events) e.mouseX = e.mouseY = 0;
  return events;
}

namespace {
bool keepWaiting = false;  // the action just run was idle()
}  // namespace

std::vector<EventRecord> runWindowInQt(const char* key, const char* label,
                                       const std::vector<Action>& actions, const Handler& handler,
                                       const Handler& prepare) {
  QtBackend& b = backend();
  BackendScope scope(b);
  std::size_t next = 0;
  b.setWaitHook([&](Window& w) {
    // The window that waits has the keyboard, as on a desktop.
    QWidget* top = b.windowWidget(w);
    // (A window counts as active while its transient parent has the focus: wait for the focus.)
    if (top && QGuiApplication::focusWindow() != top->windowHandle()) {
      top->activateWindow();
      (void)QTest::qWaitFor(
          [top] { return QGuiApplication::focusWindow() == top->windowHandle(); });
    }
    if (next >= actions.size()) {
      throw std::runtime_error(w.describe() +
                               " waits for the user, but the Qt script ended after " +
                               std::to_string(next) + " actions");
    }
    const Action action = actions[next++];
    Window* waiting = &w;
    QTimer::singleShot(0, [&b, waiting, action] {
      action(*waiting);
      // An action that reached nothing still ends the wait.
      if (!std::exchange(keepWaiting, false)) b.interruptWait(*waiting);
    });
  });
  Window& w = window::OPEN(key, label);
  if (prepare) prepare(w);
  std::vector<EventRecord> events;
  try {
    while (window::ACCEPT()) {
      events.push_back(w.current());
      if (handler) handler(w);
    }
  } catch (...) {
    b.setWaitHook({});
    window::CLOSE();
    throw;
  }
  b.setWaitHook({});
  window::CLOSE();
  return events;
}

std::vector<EventRecord> runInQt(const std::vector<Action>& actions, const Handler& handler,
                                 window::ListSource* rows) {
  registerTestWindow();
  return runWindowInQt(
      kTestKey, kTestLabel, actions,
      [&handler](Window& w) {
        if (handler) handler(w);
        if (window::ACCEPTED() == kOkButton) window::POST(window::EventCloseWindow);
      },
      [rows](Window& w) { w.setListSource(kList, rows ? rows : &testRows()); });
}

QWidget* widgetOf(const Window& w, int control) {
  QWidget* widget = backend().controlWidget(w, control);
  if (!widget) throw std::runtime_error("no widget for control " + std::to_string(control));
  return widget;
}

namespace {

// Where a click lands: buttons in their middle, checks and radios on their box.
QPoint clickPoint(const QWidget* widget) {
  const QRect r = widget->rect();
  if (widget->inherits("QCheckBox") || widget->inherits("QRadioButton")) {
    return QPoint(std::min(8, r.width() / 2), r.height() / 2);
  }
  return r.center();
}

QTableView* tableOf(const Window& w, int list) {
  auto* table = dynamic_cast<QTableView*>(widgetOf(w, list));
  if (!table) throw std::runtime_error("control " + std::to_string(list) + " is not a table");
  return table;
}

QPoint rowPoint(QAbstractItemView* view, int row) {
  return view->visualRect(view->model()->index(row - 1, 0)).center();
}

// Runs `answer` once a modal widget of type T is up (inside its own event loop).
template <class T>
void whenModal(std::function<void(T*)> answer) {
  QTimer::singleShot(10, [answer] {
    if (T* modal = dynamic_cast<T*>(QApplication::activeModalWidget())) {
      answer(modal);
    } else {
      whenModal<T>(answer);
    }
  });
}

// Runs `step` now and again every few milliseconds while `context` lives, until it answers
// true.
void retry(QObject* context, std::function<bool()> step) {
  if (!step()) QTimer::singleShot(10, context, [context, step] { retry(context, step); });
}

}  // namespace

Action idle() {
  return [](Window&) { keepWaiting = true; };
}

Action click(int control) {
  return [control](Window& w) {
    QWidget* widget = widgetOf(w, control);
    QTest::mouseClick(widget, Qt::LeftButton, {}, clickPoint(widget));
  };
}

Action typeInto(int control, const QString& text) {
  return [control, text](Window& w) {
    QWidget* widget = widgetOf(w, control);
    QTest::mouseClick(widget, Qt::LeftButton, {}, clickPoint(widget));
    QTest::keyClicks(QApplication::focusWidget(), text);
  };
}

Action key(int code) {
  return [code](Window&) {
    const auto press = keyEventOf(code, QEvent::KeyPress);
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(press->key()),
                    press->modifiers());
  };
}

Action chooseRow(int list, int row) {
  return [list, row](Window& w) {
    QTableView* table = tableOf(w, list);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowPoint(table, row));
  };
}

Action rightClickRow(int list, int row) {
  return [list, row](Window& w) {
    QTableView* table = tableOf(w, list);
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, rowPoint(table, row));
  };
}

Action clickHeading(int list, int column) {
  return [list, column](Window& w) {
    QHeaderView* header = tableOf(w, list)->horizontalHeader();
    const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  };
}

namespace {

// Presses the left button at `from`, moves in small steps to `to` and lets go.
void drag(QWidget* widget, QPoint from, QPoint to) {
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) QTest::mouseMove(widget, from + (to - from) * i / kSteps);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

}  // namespace

Action dragColumnBorder(int list, int column, int pixels) {
  return [list, column, pixels](Window& w) {
    QHeaderView* header = tableOf(w, list)->horizontalHeader();
    const int edge =
        header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) - 1;
    const int y = header->height() / 2;
    drag(header->viewport(), QPoint(edge, y), QPoint(edge + pixels, y));
  };
}

Action dragColumn(int list, int from, int to) {
  return [list, from, to](Window& w) {
    QHeaderView* header = tableOf(w, list)->horizontalHeader();
    // Onto the near half of the target: a column goes before what it is dropped on when moved
    // left, after it when moved right.
    const auto at = [header](int column, int quarters) {
      return header->sectionViewportPosition(column - 1) +
             header->sectionSize(column - 1) * quarters / 4;
    };
    const int y = header->height() / 2;
    drag(header->viewport(), QPoint(at(from, 2), y), QPoint(at(to, to < from ? 1 : 3), y));
  };
}

Action doubleClickRow(int list, int row) {
  return [list, row](Window& w) {
    QTableView* table = tableOf(w, list);
    const QPoint at = rowPoint(table, row);
    // As the platform sends it: a click, then the second press as a double click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, at);
  };
}

Action chooseItem(int drop, int row) {
  return [drop, row](Window& w) {
    auto* box = dynamic_cast<QComboBox*>(widgetOf(w, drop));
    if (!box) throw std::runtime_error("control " + std::to_string(drop) + " is not a combo box");
    // Opens the list with a click, goes to the row and takes it with Enter.
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QAbstractItemView* list = box->view();
    (void)QTest::qWaitForWindowExposed(list->window());
    list->setCurrentIndex(list->model()->index(row - 1, 0));
    QTest::keyClick(list, Qt::Key_Return);
  };
}

Action clickTab(int sheet, int index) {
  return [sheet, index](Window& w) {
    auto* tabs = dynamic_cast<QTabWidget*>(widgetOf(w, sheet));
    if (!tabs) throw std::runtime_error("control " + std::to_string(sheet) + " is not a sheet");
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  };
}

Action trigger(int item) {
  return [item](Window& w) {
    QAction* action = backend().controlAction(w, item);
    if (!action) throw std::runtime_error("no action for control " + std::to_string(item));
    action->trigger();
  };
}

Action closeBox() {
  return [](Window& w) { backend().windowWidget(w)->close(); };
}

Action mouseOver(int control) {
  return [control](Window& w) {
    QWidget* widget = widgetOf(w, control);
    QTest::mouseMove(widget, widget->rect().center());
  };
}

Action answeringBox(int button, Action then) {
  return [button, then](Window& w) {
    whenModal<QMessageBox>([button](QMessageBox* box) {
      static const std::pair<int, QMessageBox::StandardButton> kButtons[] = {
          {runtime::ButtonOk, QMessageBox::Ok},
          {runtime::ButtonYes, QMessageBox::Yes},
          {runtime::ButtonNo, QMessageBox::No},
          {runtime::ButtonAbort, QMessageBox::Abort},
          {runtime::ButtonRetry, QMessageBox::Retry},
          {runtime::ButtonIgnore, QMessageBox::Ignore},
          {runtime::ButtonCancel, QMessageBox::Cancel},
      };
      for (const auto& [bit, standard] : kButtons) {
        if (bit == button && box->button(standard)) {
          QTest::mouseClick(box->button(standard), Qt::LeftButton);
          return;
        }
      }
      box->reject();
    });
    then(w);
  };
}

Action answeringFileDialog(const QString& path, Action then) {
  return [path, then](Window& w) {
    whenModal<QFileDialog>([path](QFileDialog* dialog) {
      if (path.isEmpty()) {
        dialog->reject();
        return;
      }
      // The dialog lists its folder in the background: the name is typed once it is listed.
      const QFileInfo file(path);
      dialog->setDirectory(file.absolutePath());
      retry(dialog, [dialog, file] {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return false;
        name->clear();
        name->setText(file.fileName());
        if (!dialog->selectedFiles().contains(file.absoluteFilePath())) return false;
        QMetaObject::invokeMethod(dialog, "accept");
        return true;
      });
    });
    then(w);
  };
}

}  // namespace qtui::testing

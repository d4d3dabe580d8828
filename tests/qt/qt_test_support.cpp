#include "qt_test_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <stdexcept>

#include "platform/qt/qt_keys.h"
#include "platform/runtime/message.h"
#include "platform/window/engine.h"

namespace qtui::testing {

using namespace window::testing;

QtBackend& backend() {
  static int argc = 1;
  static char name[] = "qt_tests";
  static char* argv[] = {name, nullptr};
  // Kept for the life of the process: Qt goes down with it.
  static QtBackend* b = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QtBackend(argc, argv);
  }();
  return *b;
}

std::vector<EventRecord> withoutMouse(std::vector<EventRecord> events) {
  for (EventRecord& e : events) e.mouseX = e.mouseY = 0;
  return events;
}

std::vector<EventRecord> runInQt(const std::vector<Action>& actions, const Handler& handler) {
  registerTestWindow();
  QtBackend& b = backend();
  BackendScope scope(b);
  std::size_t next = 0;
  b.setWaitHook([&](Window& w) {
    if (QWidget* top = b.windowWidget(w); top && !top->isActiveWindow()) {
      top->activateWindow();
      (void)QTest::qWaitForWindowActive(top);
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
      b.interruptWait(*waiting);
    });
  });
  Window& w = window::OPEN(kTestKey, kTestLabel);
  w.setListSource(kList, &testRows());
  std::vector<EventRecord> events;
  try {
    while (window::ACCEPT()) {
      events.push_back(w.current());
      if (handler) handler(w);
      if (window::ACCEPTED() == kOkButton) window::POST(window::EventCloseWindow);
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

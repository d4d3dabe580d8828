#include "tests/app_qt/scripted_run.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "platform/window/engine.h"

namespace app::testing {

void runScripted(const std::function<void()>& procedure,
                 const std::vector<qtui::testing::Action>& actions) {
  qtui::QtBackend& b = qtui::testing::backend();
  std::size_t next = 0;
  const qtui::testing::WaitHookCleared cleared(b);
  b.setWaitHook([&](window::Window& w) {
    if (QWidget* top = b.windowWidget(w); top && !top->isActiveWindow()) top->activateWindow();
    if (next >= actions.size()) throw std::runtime_error("the window waits after the script");
    const qtui::testing::Action action = actions[next++];
    window::Window* waiting = &w;
    QTimer::singleShot(0, [&b, waiting, action] {
      action(*waiting);
      b.interruptWait(*waiting);
    });
  });
  {
    const window::InstalledBackend installed(b);
    procedure();
  }
  EXPECT_EQ(next, actions.size());
}

}  // namespace app::testing

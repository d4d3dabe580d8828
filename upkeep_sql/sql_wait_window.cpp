#include "upkeep_sql/sql_wait_window.h"

#include <cassert>
#include <string>

#include "platform/runtime/text.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"
#include "upkeep/debug_switches.h"
#include "upkeep/wait_window_layout.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kKey = "upkept$upkeptb";
constexpr std::string_view kLabel = "UpkeptB$WAITWIN";

}  // namespace

SqlWaitWindow::~SqlWaitWindow() {
  if (!shown()) return;
  waitProgress().redisplay = nullptr;
  assert(window::currentWindow() == window_ && "the wait window is the thread's top window");
  window_ = nullptr;
  window::PendingEvents();
  window::CLOSE();
}

void SqlWaitWindow::makeVisible() {
  if (shown() || upkeep::debugLevels().silentUpgrading != 0) return;
  upkeep::addWaitWindowResource(kKey, kLabel);
  window_ = &window::OPEN(kKey, kLabel);
  waitProgress().redisplay = [this] { redraw(); };
  redraw();
}

void SqlWaitWindow::redraw() {
  const WaitProgress& progress = waitProgress();
  window_->setProperty(upkeep::kWaitTextControl, window::PropText,
                       runtime::CLIP(runtime::SUB(progress.activity, 1, 40)));
  window_->setProperty(upkeep::kWaitBarControl, window::PropProgress, progress.SQLProgressPercent);
  window_->setProperty(upkeep::kWaitFileControl, window::PropText,
                       runtime::CLIP(runtime::SUB(progress.fileName, 1, 55)));
  window_->display(0, 0);
  window::PendingEvents();
}

}  // namespace upkeep_sql

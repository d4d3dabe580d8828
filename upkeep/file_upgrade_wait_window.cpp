#include "upkeep/file_upgrade_wait_window.h"

#include <string>

#include "platform/runtime/text.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"
#include "upkeep/debug_switches.h"

namespace upkeep {
namespace {

constexpr std::string_view kKey = "upkept$upkept";
constexpr std::string_view kLabel = "P42$WAITWIN";

}  // namespace

FileUpgradeWaitWindow::~FileUpgradeWaitWindow() { close(); }

void FileUpgradeWaitWindow::open(std::string_view fileName) {
  if (shown_ || debugLevels().silentUpgrading != 0) return;
  addWaitWindowResource(kKey, kLabel);
  window_ = &window::OPEN(kKey, kLabel);
  window_->setProperty(kNameOutFile, window::PropText, runtime::SUB(fileName, 1, 55));
  shown_ = true;
  window::DISPLAY();
}

void FileUpgradeWaitWindow::activity(std::string_view text, std::int32_t percent) {
  percent_ = percent;
  if (!shown_) return;
  window_->setProperty(kWaitMessage, window::PropText, runtime::CLIP(runtime::SUB(text, 1, 40)));
  redraw();
}

void FileUpgradeWaitWindow::progress(std::int64_t done, std::int64_t total) {
  const auto percent = static_cast<std::int32_t>(total > 0 ? done * 100 / total : 0);
  if (percent == percent_) return;
  percent_ = percent;
  if (shown_) redraw();
}

void FileUpgradeWaitWindow::redraw() {
  window_->setProperty(kProgressPercent, window::PropProgress, percent_);
  window::DISPLAY();
  window::PendingEvents();
}

void FileUpgradeWaitWindow::close() {
  if (!shown_) return;
  shown_ = false;
  window_ = nullptr;
  window::PendingEvents();
  window::CLOSE();
}

}  // namespace upkeep

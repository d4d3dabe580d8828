#include "upkeep/catalogue_conversion_wait_window.h"

#include <algorithm>
#include <climits>

#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"
#include "platform/window/window_definition.h"

namespace upkeep {
namespace {

constexpr std::string_view kKey = "upkept$upkept";
constexpr std::string_view kLabel = "P71$WAITWIN";

void addResource() {
  if (window::resources().find(kKey, kLabel) != nullptr) return;
  window::WindowDefinition d;
  d.key = std::string(kKey);
  d.label = std::string(kLabel);
  d.title = "Upkeep";
  d.at = {0, 0, 200, 40};
  d.systemMenu = false;
  d.closeBox = false;
  d.add(kCatalogueWaitText, window::ControlType::String)
      .text("Please wait. Upgrading old UPG file.")
      .at(8, 6, 184, 10);
  d.add(kCatalogueWaitProgress, window::ControlType::Progress).range(0, 100).at(8, 20, 184, 12);
  window::resources().add(std::move(d));
}

int bar(std::int64_t n) { return static_cast<int>(std::min<std::int64_t>(n, INT_MAX)); }

}  // namespace

CatalogueConversionWaitWindow::CatalogueConversionWaitWindow(std::int64_t total, bool silent)
    : shown_(!silent) {
  if (!shown_) return;
  addResource();
  window::Window& w = window::OPEN(kKey, kLabel);
  w.setProperty(kCatalogueWaitProgress, window::PropRangeHigh, bar(total));
  window::DISPLAY();
}

CatalogueConversionWaitWindow::~CatalogueConversionWaitWindow() {
  if (!shown_) return;
  window::PendingEvents();
  window::CLOSE();
}

void CatalogueConversionWaitWindow::progress(std::int64_t count) {
  if (!shown_) return;
  window::currentWindow()->setProperty(kCatalogueWaitProgress, window::PropProgress, bar(count));
  window::DISPLAY();
  window::PendingEvents();
}

}  // namespace upkeep

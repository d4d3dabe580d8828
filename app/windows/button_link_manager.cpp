#include "app/windows/button_link_manager.h"

#include <cassert>

#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"

namespace app {

ButtonLinkManager::ButtonLinkManager(int button, AddressField address,
                                     linkpulse::LinkSystem& system)
    : LinkPulseManager(system), button_(button), address_(address) {
  assert(address_ != nullptr);
}

void ButtonLinkManager::start() {
  HANDCURSORTOUSE = "~hand2.cur";
  window::setProperty(0, window::PropTimer, 8);
  Init(window::EventTimer, 0);
  LIMITURL = -1;
  ITEMQ->SKYPEFUNCTION = 0;
  AddItem(button_, address_(), std::nullopt, std::nullopt, std::nullopt, 0);
  Refresh(0);
}

int ButtonLinkManager::ControlURL(std::optional<int> control) {
  if (control != button_) return LinkPulseManager::ControlURL(control);
  URLTORUN = address_();
  return 1;
}

std::string ButtonLinkManager::ListCellURL(int, std::optional<std::string_view>,
                                           std::optional<std::string_view>,
                                           std::optional<std::string_view>) {
  return {};
}

}  // namespace app

#include "app/windows/main_link_manager.h"

#include "app/dictionary/declarations.h"

namespace app {

int MainLinkManager::ControlURL(std::optional<int> control) {
  if (control != kVisitButton) return LinkPulseManager::ControlURL(control);
  URLTORUN = PRO->THREADLINK.view();
  return 1;
}

std::string MainLinkManager::ListCellURL(int, std::optional<std::string_view>,
                                         std::optional<std::string_view>,
                                         std::optional<std::string_view>) {
  return {};
}

}  // namespace app

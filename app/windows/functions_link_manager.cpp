#include "app/windows/functions_link_manager.h"

#include "app/dictionary/declarations.h"

namespace app {

int FunctionsLinkManager::ControlURL(std::optional<int> control) {
  if (control != kGotoWebButton) return LinkPulseManager::ControlURL(control);
  URLTORUN = FUN->FORUMLINK.view();
  return 1;
}

std::string FunctionsLinkManager::ListCellURL(int, std::optional<std::string_view>,
                                              std::optional<std::string_view>,
                                              std::optional<std::string_view>) {
  return {};
}

}  // namespace app

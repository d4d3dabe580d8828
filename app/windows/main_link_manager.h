// The main window's link manager: its one link is the "Visit" button, which opens the chosen
// project's forum thread (PRO:THREADLINK as it stands when the button is clicked).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "linkpulse/link_pulse_manager.h"

namespace app {

class MainLinkManager : public linkpulse::LinkPulseManager {
 public:
  // The control whose address is the projects record's thread link.
  static constexpr int kVisitButton = 22;

  using LinkPulseManager::LinkPulseManager;

  // Control 22: copies PRO:THREADLINK into URLTORUN and answers 1; any other control: what
  // the base answers (0, no address).
  int ControlURL(std::optional<int> control) override;
  // No list cell of the window is a link: answers an empty text.
  std::string ListCellURL(int control, std::optional<std::string_view> column,
                          std::optional<std::string_view> extra1,
                          std::optional<std::string_view> extra2) override;
};

}  // namespace app

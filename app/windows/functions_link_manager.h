// The link manager of the functions form: its one link is the "Goto Web" button, which opens
// the function's forum post (FUN:FORUMLINK as it stands when the button is clicked).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "linkpulse/link_pulse_manager.h"

namespace app {

class FunctionsLinkManager : public linkpulse::LinkPulseManager {
 public:
  static constexpr int kGotoWebButton = 9;

  using LinkPulseManager::LinkPulseManager;

  // Control 9: copies FUN:FORUMLINK into URLTORUN and answers 1; any other control: what the
  // base answers (0, no address).
  int ControlURL(std::optional<int> control) override;
  // No list cell of the form is a link: answers an empty text.
  std::string ListCellURL(int control, std::optional<std::string_view> column,
                          std::optional<std::string_view> extra1,
                          std::optional<std::string_view> extra2) override;
};

}  // namespace app

// A window with one link control of each kind for the manager's event tests, and a runner that
// drives it through a headless script with every event passed to the manager first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "linkpulse/link_pulse_manager.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"

namespace linkpulse::testing {

enum LinkControl : int {
  kVisitButton = 22,
  kSiteEntry = 30,
  kSiteString = 40,
  kSitePrompt = 41,
  kGroup = 45,
  kGroupString = 46,
  kNotesText = 50,
  kSiteList = 60,
  kHotRegion = 70,
};

// A manager as the program's windows derive it: the button's address comes from the hook
// when `hookAddress` is set, a list cell's address is "cell<column>".
class TestManager : public LinkPulseManager {
 public:
  using LinkPulseManager::LinkPulseManager;
  std::string hookAddress;
  std::vector<int> cellStyles;  // SetCellStyle calls: row, then style

  int ControlURL(std::optional<int> control) override;
  std::string ListCellURL(int control, std::optional<std::string_view> column,
                          std::optional<std::string_view> extra1,
                          std::optional<std::string_view> extra2) override;
  void SetCellStyle(int control, int column, int row, int style) override;
};

// Opens the link window under `backend`, calls `setup` on OpenWindow (after manager.Init with
// the Timer event), passes every event to manager.TakeEvent and answers the events handed out.
std::vector<window::EventRecord> runLinkWindow(window::HeadlessBackend& backend,
                                               LinkPulseManager& manager,
                                               const std::function<void()>& setup);

}  // namespace linkpulse::testing

// The link manager of a window whose one link is a button: a click opens the address that a
// field of the current record holds at that moment. The main window's "Visit" button opens the
// project's forum thread (PRO:THREADLINK), the functions form's "Goto Web" the function's forum
// post (FUN:FORUMLINK).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "linkpulse/link_pulse_manager.h"

namespace app {

class ButtonLinkManager : public linkpulse::LinkPulseManager {
 public:
  // The calling thread's address field as it stands now.
  using AddressField = std::string_view (*)();

  // `button` is the link control of the window, `address` reads its address.
  ButtonLinkManager(int button, AddressField address, linkpulse::LinkSystem& system);

  // Makes the button the link of the current window: the hand cursor, the window's Timer at 8
  // with the Timer event as the mouse poll, no e-mail length limit, no Skype names; the button
  // is registered with the address the field holds now and drawn.
  void start();

  // The button: copies the field into URLTORUN and answers 1; any other control: what the base
  // answers (0, no address).
  int ControlURL(std::optional<int> control) override;
  // No list cell of the window is a link: answers an empty text.
  std::string ListCellURL(int control, std::optional<std::string_view> column,
                          std::optional<std::string_view> extra1,
                          std::optional<std::string_view> extra2) override;

 private:
  int button_;
  AddressField address_;
};

}  // namespace app

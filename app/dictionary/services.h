// The process-wide services of the class library that every window and file manager uses:
// the error reporter, the word matcher and the INI manager, one instance each, built by the
// main module's process start and destroyed by its process end. Also the address of the
// upgrade engine's "upgrading" flag, fetched by the program procedure.
#pragma once

#include <cstdint>

#include "classlib/error_reporter.h"
#include "classlib/ini_manager.h"
#include "classlib/word_matcher.h"

namespace app {

// Builds the three services, in the order word matcher, error reporter, INI manager; each is
// built afresh when it exists already.
void constructServices();
// Destroys the INI manager, the error reporter and the word matcher, in that order.
void destroyServices();

// The services; each must have been built.
classlib::ErrorReporter& globalErrors();
classlib::WordMatcher& wordMatcher();
classlib::IniManager& iniManager();

// The address of UPK_Upgrading as the program procedure fetched it; nullptr before.
extern std::uint8_t* upgradingFlagAddress;

}  // namespace app

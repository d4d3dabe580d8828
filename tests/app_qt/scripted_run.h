// Runs a window procedure of the program on the shared Qt test backend (offscreen), one user
// action each time one of its windows waits.
#pragma once

#include <functional>
#include <vector>

#include "tests/qt/qt_test_support.h"

namespace app::testing {

// Runs `procedure` with the Qt backend installed; each wait of any window runs the next of
// `actions` on the waiting window. Every action must be used: a wait after the last one throws.
void runScripted(const std::function<void()>& procedure,
                 const std::vector<qtui::testing::Action>& actions);

}  // namespace app::testing

#include "app/windows/quick_find_state.h"

namespace app {

QuickFindShared quickFind;

}  // namespace app

#include "app/windows/window_requests.h"

namespace app {

WindowRequests& windowRequests() {
  thread_local WindowRequests requests;
  return requests;
}

}  // namespace app

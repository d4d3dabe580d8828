// The requests that windows pass each other and the answers they give back: a caller puts a
// request in, runs the window and reads its response.
#pragma once

#include <string_view>

namespace classlib {

enum Request : int {
  RequestNone = 0,
  RequestInsert = 1,
  RequestChange = 2,
  RequestDelete = 3,
  RequestSelect = 4,
  RequestView = 6,  // show the record only
};

enum Response : int {
  ResponseCompleted = 1,
  ResponseCancelled = 2,
};

// The text a form shows in zone 2 of its status bar for `request`: "View Record", "Record Will
// Be Added", "Record Will Be Changed"; empty for any other request.
std::string_view requestText(int request);

}  // namespace classlib

#include "classlib/request.h"

namespace classlib {

std::string_view requestText(int request) {
  switch (request) {
    case RequestView: return "View Record";
    case RequestInsert: return "Record Will Be Added";
    case RequestChange: return "Record Will Be Changed";
    default: return {};
  }
}

}  // namespace classlib

// The bytes through which a window asks another for an action and reads the outcome: the
// request (1 insert, 2 change, 3 delete, 4 select, 6 view only), the response (1 completed,
// 2 cancelled) and the record-navigation request. One set per thread.
#pragma once

#include <cstdint>

namespace app {

struct WindowRequests {
  std::uint8_t request = 0;
  std::uint8_t response = 0;
  std::int32_t vcrRequest = 0;
};

// The calling thread's set.
WindowRequests& windowRequests();

}  // namespace app

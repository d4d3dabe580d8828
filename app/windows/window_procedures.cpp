#include "app/windows/window_procedures.h"

#include <array>
#include <mutex>
#include <utility>

namespace app {
namespace {

constexpr std::size_t kProcedures = static_cast<std::size_t>(WindowProcedure::New_Project) + 1;

std::mutex proceduresLock;
std::array<std::function<void()>, kProcedures> procedures;

}  // namespace

void setWindowProcedure(WindowProcedure procedure, std::function<void()> body) {
  const std::lock_guard lock(proceduresLock);
  procedures[static_cast<std::size_t>(procedure)] = std::move(body);
}

bool runProcedure(WindowProcedure procedure) {
  std::function<void()> body;
  {
    const std::lock_guard lock(proceduresLock);
    body = procedures[static_cast<std::size_t>(procedure)];
  }
  if (!body) return false;
  body();
  return true;
}

}  // namespace app

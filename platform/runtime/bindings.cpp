// The process's table of bound names.
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/runtime/expression.h"
#include "platform/runtime/expression_names.h"

namespace runtime {
namespace {

std::mutex bindingsMutex;
std::map<std::string, std::shared_ptr<BoundValue>, std::less<>> bindings;
std::atomic<std::uint64_t> generation{0};

bool isName(std::string_view name) {
  return !name.empty() && isNameStart(name.front()) &&
         std::all_of(name.begin(), name.end(), isNameChar) && !isKeyword(foldName(name));
}

}  // namespace

bool BIND(std::string_view name, std::shared_ptr<BoundValue> variable) {
  if (!isName(name) || !variable) return false;
  std::lock_guard lock(bindingsMutex);
  bindings[foldName(name)] = std::move(variable);
  generation.fetch_add(1, std::memory_order_release);
  return true;
}

bool BIND(std::string_view name, char* buffer, std::size_t capacity, TextKind kind) {
  return BIND(name, std::make_shared<BoundText>(buffer, capacity, kind));
}

void UNBIND(std::string_view name) {
  const std::string folded = foldName(name);
  std::lock_guard lock(bindingsMutex);
  bindings.erase(folded);
  generation.fetch_add(1, std::memory_order_release);
}

std::uint64_t bindingsGeneration() { return generation.load(std::memory_order_acquire); }

std::shared_ptr<BoundValue> boundVariable(std::string_view name) {
  const std::string folded = foldName(name);
  std::lock_guard lock(bindingsMutex);
  const auto found = bindings.find(folded);
  return found == bindings.end() ? nullptr : found->second;
}

}  // namespace runtime

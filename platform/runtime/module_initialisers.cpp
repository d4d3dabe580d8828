#include "platform/runtime/module_initialisers.h"

#include <signal.h>

#include <atomic>
#include <cassert>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/runtime/thread.h"

namespace runtime {
namespace {

using Modules = std::vector<std::shared_ptr<const ModuleInitialiser>>;

enum class ProcessState { NotStarted, Started, Ended };

// The registrations and the process's state. The routines run outside the lock, on a copy of
// the list, so that they may start threads of their own.
std::mutex registryMutex;
Modules registeredModules;
ProcessState processState = ProcessState::NotStarted;

// Each reset starts a new generation; a thread's started mark counts only in its generation.
std::atomic<unsigned> generation{1};
thread_local unsigned threadStartedIn = 0;

// The modules, when the process is in the `required` state, which then becomes `next`.
std::optional<Modules> moveProcess(ProcessState required, ProcessState next) {
  std::lock_guard lock(registryMutex);
  if (processState != required) return std::nullopt;
  processState = next;
  return registeredModules;
}

Modules modules() {
  std::lock_guard lock(registryMutex);
  return registeredModules;
}

void call(const std::function<void()>& routine) {
  if (routine) routine();
}

}  // namespace

void registerModule(ModuleInitialiser module) {
  std::lock_guard lock(registryMutex);
  assert(processState == ProcessState::NotStarted && "module registered after process start");
  registeredModules.push_back(std::make_shared<const ModuleInitialiser>(std::move(module)));
}

void runProcessStart() {
  // Claimed before the routines run, so that a second call cannot start the process twice.
  const std::optional<Modules> list = moveProcess(ProcessState::NotStarted, ProcessState::Started);
  if (!list) return;
  startThreadNumbering();
  // A write past the file-size limit then fails with an error the file statements report,
  // instead of the signal ending the process on the spot.
  signal(SIGXFSZ, SIG_IGN);
  for (const auto& module : *list) call(module->processStart);
}

void runThreadStart() {
  if (threadStarted()) return;
  threadStartedIn = generation.load();
  const Modules list = modules();
  for (const auto& module : list) call(module->threadFileStart);
  for (const auto& module : list) call(module->threadStart);
}

void runThreadEnd() {
  if (!threadStarted()) return;
  threadStartedIn = 0;
  const Modules list = modules();
  for (auto it = list.rbegin(); it != list.rend(); ++it) call((*it)->threadEnd);
}

void runProcessEnd() {
  const std::optional<Modules> list = moveProcess(ProcessState::Started, ProcessState::Ended);
  if (!list) return;
  for (auto it = list->rbegin(); it != list->rend(); ++it) call((*it)->processEnd);
}

bool threadStarted() { return threadStartedIn == generation.load(); }

void resetModuleInitialisers() {
  std::lock_guard lock(registryMutex);
  registeredModules.clear();
  processState = ProcessState::NotStarted;
  generation.fetch_add(1);
}

}  // namespace runtime

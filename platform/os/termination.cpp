#include "platform/os/termination.h"

#include <signal.h>

#include <cstdlib>
#include <mutex>
#include <thread>

namespace os {
namespace {

std::mutex& callbackLock() {
  static std::mutex lock;
  return lock;
}

std::function<void()>& callback() {
  static std::function<void()> onRequest;
  return onRequest;
}

sigset_t terminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

void watch(sigset_t signals) {
  for (;;) {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) continue;
    std::function<void()> onRequest;
    {
      std::lock_guard guard(callbackLock());
      onRequest = callback();
    }
    if (onRequest) onRequest();
  }
}

}  // namespace

bool watchTerminationRequests(std::function<void()> onRequest) {
  {
    std::lock_guard guard(callbackLock());
    callback() = std::move(onRequest);
  }
  static std::once_flag started;
  static bool watching = false;
  std::call_once(started, [] {
    const sigset_t signals = terminationSignals();
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
    try {
      std::thread(watch, signals).detach();
      watching = true;
    } catch (const std::system_error&) {
      pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
  });
  return watching;
}

bool endProcessAfter(std::chrono::milliseconds grace, std::function<void()> lastStep,
                     int exitCode) {
  static std::once_flag started;
  bool timing = true;
  std::call_once(started, [&] {
    try {
      std::thread([grace, lastStep = std::move(lastStep), exitCode] {
        std::this_thread::sleep_for(grace);
        if (lastStep) lastStep();
        std::_Exit(exitCode);
      }).detach();
    } catch (const std::system_error&) {
      timing = false;
    }
  });
  return timing;
}

}  // namespace os

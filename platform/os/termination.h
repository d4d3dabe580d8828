// Requests to end the program that come from outside (SIGINT, SIGTERM, SIGHUP), turned into a
// call on an ordinary thread, so the program can end the way it always ends: through its exit
// steps, which put the user's settings back.
#pragma once

#include <chrono>
#include <functional>

namespace os {

// From now on SIGINT, SIGTERM and SIGHUP no longer end the process at once: each calls
// `onRequest` on a thread of its own (never inside a signal handler, so it may do anything).
// Call it first in main, before any other thread starts, so that every thread inherits the
// blocked signals. A second call replaces the callback. Answers false when the watcher could
// not be started (the signals then keep their default effect).
bool watchTerminationRequests(std::function<void()> onRequest);

// Makes sure the process ends even when the thread asked to end it is busy: after `grace`, on a
// thread of its own, runs `lastStep` (which puts back what must not stay changed) and ends the
// process with `exitCode`, unless it has ended by then. Only the first call starts the timer.
// Answers false when the timer could not be started.
bool endProcessAfter(std::chrono::milliseconds grace, std::function<void()> lastStep, int exitCode);

}  // namespace os

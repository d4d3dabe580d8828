// Message boxes and the end of the program for tests: an answerer that records each box and
// gives scripted answers, and a halter that turns HALT into an exception.
#pragma once

#include <deque>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "platform/runtime/message.h"

namespace runtime {

// Records every box and answers with the scripted buttons, in order. A box without a scripted
// answer left, or whose answer is not among its buttons, throws std::logic_error naming the box.
class ScriptedAnswerer : public MessageAnswerer {
 public:
  ScriptedAnswerer() = default;
  ScriptedAnswerer(std::initializer_list<int> answers) : answers_(answers) {}

  // Adds an answer at the end of the script.
  void addAnswer(int button);
  // The boxes shown so far, in order.
  std::vector<MessageRequest> shown() const;
  // The number of scripted answers not yet given.
  std::size_t answersLeft() const;

  int answer(const MessageRequest& box) override;

 private:
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::vector<MessageRequest> shown_;
};

// What InterceptingHalter throws in place of ending the process. It is not a std::exception, so
// that handlers for errors do not catch it on its way out.
struct HaltRequested {
  int exitCode;
};

// A halter that throws HaltRequested with the exit code.
class InterceptingHalter : public Halter {
 public:
  void halt(int exitCode) override { throw HaltRequested{exitCode}; }
};

// Installs an answerer and a halter for a scope and restores the ones before at its end.
class ScopedMessageHandlers {
 public:
  ScopedMessageHandlers(MessageAnswerer& answerer, Halter& halter)
      : previousAnswerer_(setMessageAnswerer(&answerer)), previousHalter_(setHalter(&halter)) {}
  ~ScopedMessageHandlers() {
    setMessageAnswerer(previousAnswerer_);
    setHalter(previousHalter_);
  }
  ScopedMessageHandlers(const ScopedMessageHandlers&) = delete;
  ScopedMessageHandlers& operator=(const ScopedMessageHandlers&) = delete;

 private:
  MessageAnswerer* previousAnswerer_;
  Halter* previousHalter_;
};

}  // namespace runtime

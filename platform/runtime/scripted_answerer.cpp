#include "platform/runtime/scripted_answerer.h"

#include <stdexcept>

namespace runtime {
namespace {

std::string describe(const MessageRequest& box) {
  return "message box \"" + box.caption + "\": \"" + box.text + "\"";
}

}  // namespace

void ScriptedAnswerer::addAnswer(int button) {
  std::lock_guard lock(mutex_);
  answers_.push_back(button);
}

std::vector<MessageRequest> ScriptedAnswerer::shown() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

std::size_t ScriptedAnswerer::answersLeft() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

int ScriptedAnswerer::answer(const MessageRequest& box) {
  std::lock_guard lock(mutex_);
  shown_.push_back(box);
  if (answers_.empty()) throw std::logic_error("no scripted answer left for " + describe(box));
  const int button = answers_.front();
  answers_.pop_front();
  if (buttonName(button).empty() || (button & box.buttons) == 0) {
    throw std::logic_error("scripted answer " + std::to_string(button) + " is not a button of " +
                           describe(box));
  }
  return button;
}

}  // namespace runtime

#include "upkeep/call_recorder.h"

#include <atomic>

#include "platform/files/file_declaration.h"

namespace upkeep {
namespace {

std::atomic<CallRecorder*> installed{nullptr};

}  // namespace

std::string EntryCall::text() const {
  std::string text = entry + "(";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ", ";
    text += arguments[i];
  }
  return text + ")";
}

EntryCallBuilder& EntryCallBuilder::text(std::string_view value) {
  call_.arguments.push_back("\"" + std::string(value) + "\"");
  return *this;
}

EntryCallBuilder& EntryCallBuilder::number(std::int64_t value) {
  call_.arguments.push_back(std::to_string(value));
  return *this;
}

EntryCallBuilder& EntryCallBuilder::file(const files::FileDeclaration& file) {
  return object("FILE", file.label(), &file);
}

EntryCallBuilder& EntryCallBuilder::object(std::string_view kind, std::string_view label,
                                           const void* address) {
  call_.arguments.push_back(std::string(kind) + "(" + std::string(label) + ")");
  call_.object = address;
  return *this;
}

EntryCallBuilder& EntryCallBuilder::record(const void* address) {
  call_.arguments.push_back("record");
  call_.record = address;
  return *this;
}

void EntryCallBuilder::send() const {
  if (CallRecorder* recorder = installed.load()) recorder->record(call_);
}

CallRecorder* setCallRecorder(CallRecorder* recorder) { return installed.exchange(recorder); }

void CallLog::record(const EntryCall& call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(call);
}

std::vector<EntryCall> CallLog::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<std::string> CallLog::texts() const {
  std::vector<std::string> texts;
  for (const EntryCall& call : calls()) texts.push_back(call.text());
  return texts;
}

}  // namespace upkeep

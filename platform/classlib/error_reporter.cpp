#include "platform/classlib/error_reporter.h"

#include <array>
#include <utility>

#include "platform/runtime/message.h"
#include "platform/runtime/number_text.h"

namespace classlib {
namespace {

// The placeholders, longest first where one begins another.
enum class Placeholder { ErrorText, ErrorCode, Procedure, Message, Field, File, Key };
constexpr std::array<std::pair<std::string_view, Placeholder>, 7> kPlaceholders{{
    {"%ErrorText", Placeholder::ErrorText},
    {"%ErrorCode", Placeholder::ErrorCode},
    {"%Procedure", Placeholder::Procedure},
    {"%Message", Placeholder::Message},
    {"%Field", Placeholder::Field},
    {"%File", Placeholder::File},
    {"%Key", Placeholder::Key},
}};

// What is shown for a number the table does not hold, with the caller's text when it gave one.
ErrorMessage unknownMessage(int id, const ErrorContext& context) {
  std::string text = "Error message " + runtime::longToText(id) + " is not known.";
  if (!context.message.empty()) text += "|%Message";
  return {id, LevelNotify, "Error", std::move(text)};
}

}  // namespace

void ErrorReporter::init() {
  runtime::CriticalSectionGuard guard(lock_);
  messages_.clear();
  for (ErrorMessage& message : defaultMessages()) {
    const int id = message.id;
    messages_[id] = std::move(message);
  }
  procedures_.clear();
}

void ErrorReporter::kill() {
  runtime::CriticalSectionGuard guard(lock_);
  messages_.clear();
  procedures_.clear();
}

void ErrorReporter::setMessage(const ErrorMessage& message) {
  runtime::CriticalSectionGuard guard(lock_);
  messages_[message.id] = message;
}

std::optional<ErrorMessage> ErrorReporter::message(int id) const {
  runtime::CriticalSectionGuard guard(lock_);
  const auto found = messages_.find(id);
  if (found == messages_.end()) return std::nullopt;
  return found->second;
}

void ErrorReporter::setProcedureName(std::string_view name) {
  runtime::CriticalSectionGuard guard(lock_);
  if (name.empty()) {
    procedures_.erase(runtime::THREAD());
  } else {
    procedures_[runtime::THREAD()] = std::string(name);
  }
}

std::string ErrorReporter::procedureName() const {
  runtime::CriticalSectionGuard guard(lock_);
  const auto found = procedures_.find(runtime::THREAD());
  return found == procedures_.end() ? std::string() : found->second;
}

std::string ErrorReporter::fill(std::string_view text, const ErrorContext& context) const {
  const std::string procedure = procedureName();
  std::string filled;
  std::size_t position = 0;
  while (position < text.size()) {
    bool replaced = false;
    if (text[position] == '%') {
      for (const auto& [name, placeholder] : kPlaceholders) {
        if (text.substr(position, name.size()) != name) continue;
        switch (placeholder) {
          case Placeholder::ErrorText: filled += context.errorText; break;
          case Placeholder::ErrorCode: filled += runtime::longToText(context.errorCode); break;
          case Placeholder::Procedure: filled += procedure; break;
          case Placeholder::Message: filled += context.message; break;
          case Placeholder::Field: filled += context.field; break;
          case Placeholder::File: filled += context.file; break;
          case Placeholder::Key: filled += context.key; break;
        }
        position += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) filled += text[position++];
  }
  return filled;
}

int ErrorReporter::report(int id, const ErrorContext& context) {
  const ErrorMessage chosen = message(id).value_or(unknownMessage(id, context));
  if (chosen.level == LevelBenign) return LevelBenign;
  std::string caption = fill(chosen.title, context);
  const std::string procedure = procedureName();
  if (!procedure.empty()) caption += " - " + procedure;
  const std::string text = fill(chosen.text, context);
  switch (chosen.level) {
    case LevelUser: {
      const int answer =
          runtime::MESSAGE(text, caption, runtime::kIconQuestion,
                           runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes);
      return answer == runtime::ButtonYes ? LevelBenign : LevelCancel;
    }
    case LevelFatal:
      runtime::MESSAGE(text, caption, runtime::kIconHand);
      runtime::HALT(kFatalExitCode);
    default: runtime::MESSAGE(text, caption, runtime::kIconExclamation); return LevelNotify;
  }
}

}  // namespace classlib

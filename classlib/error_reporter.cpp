#include "classlib/error_reporter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "classlib/saved_error.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/message.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"
#include "upkeep/file_open.h"

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

// One line of the error log.
struct LogLine {
  runtime::String<1024> LINE;
};
const runtime::FieldDef kLogFields[] = {GD_FIELD(LogLine, LINE, "LOG:LINE")};

files::FileSpec logSpec(std::string_view name) {
  files::FileSpec spec;
  spec.label = "errorlog";
  spec.prefix = "LOG";
  spec.driver = files::Driver::Ascii;
  spec.name = name;
  spec.fields = kLogFields;
  spec.recordSize = sizeof(LogLine);
  return spec;
}

// `text` on one line: its line breaks ("|" and CR or LF) as blanks.
std::string oneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '|' || c == '\r' || c == '\n'; }, ' ');
  return line;
}

}  // namespace

ErrorReporter::ErrorReporter() = default;

ErrorReporter::~ErrorReporter() = default;

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
  if (log_) files::CLOSE(*log_);
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
  std::string text = fill(chosen.text, context);
  if (!context.path.empty()) text += "|" + context.path;
  writeLog(id, caption, text);
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

void ErrorReporter::setLogFile(std::string_view name) {
  runtime::CriticalSectionGuard guard(lock_);
  log_ = name.empty() ? nullptr : std::make_unique<files::FileDeclaration>(logSpec(name));
  logCreateChecked_ = false;
}

int ErrorReporter::openLog(bool force) {
  runtime::CriticalSectionGuard guard(lock_);
  if (!log_) return LevelNotify;
  if (files::STATUS(*log_) != 0) return LevelBenign;
  if (!logCreateChecked_ || force) {
    logCreateChecked_ = true;
    if (!files::EXISTS(files::NAME(*log_))) {
      files::CREATE(*log_);
      if (runtime::ERRORCODE() != 0) return LevelNotify;
    }
  }
  upkeep::ds_FileOpen(*log_, kLogAccessMode);
  if (runtime::ERRORCODE() == 0) return LevelBenign;
  if (runtime::ERRORCODE() == runtime::FileAlreadyOpenErr) files::CLOSE(*log_);
  return LevelNotify;
}

void ErrorReporter::closeLog() {
  runtime::CriticalSectionGuard guard(lock_);
  if (log_) files::CLOSE(*log_);
}

bool ErrorReporter::logOpen() const {
  runtime::CriticalSectionGuard guard(lock_);
  return log_ && files::STATUS(*log_) != 0;
}

void ErrorReporter::writeLog(int id, std::string_view caption, std::string_view text) {
  runtime::CriticalSectionGuard guard(lock_);
  if (!log_ || files::STATUS(*log_) == 0) return;
  const SavedError callersError;
  const std::string line = runtime::FORMAT(runtime::TODAY(), "@d10-") + " " +
                           runtime::FORMAT(runtime::CLOCK(), "@t4") + " " +
                           runtime::longToText(id) + " " + oneLine(caption) + ": " + oneLine(text);
  log_->recordAs<LogLine>().LINE = line;
  files::ADD(*log_);
}

}  // namespace classlib

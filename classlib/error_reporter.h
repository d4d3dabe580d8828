// The error reporter: the process-wide table of numbered messages through which the file, view
// and relation managers (and the windows) tell the user what went wrong. It knows the procedure
// each thread is running, fills the placeholders of a message and shows it as a message box.
// While its error log is open, every message it shows is also written to the log as one line.
// The program keeps one instance for the whole run; every operation locks the reporter's state,
// but no lock is held while a box is shown.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "classlib/error_level.h"
#include "classlib/error_messages.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/thread.h"

namespace files {
class FileDeclaration;
}

namespace classlib {

// What fills the placeholders of one report. The error number and text default to the calling
// thread's error state at the moment the context is made.
struct ErrorContext {
  std::string file;     // %File
  std::string key;      // %Key
  std::string field;    // %Field
  std::string message;  // %Message
  std::string path;     // the file's path, shown on a line of its own after the message
  int errorCode = runtime::ERRORCODE();      // %ErrorCode
  std::string errorText = runtime::ERROR();  // %ErrorText
};

// The exit code of a program ended by a LevelFatal message.
inline constexpr int kFatalExitCode = 1;

class ErrorReporter {
 public:
  // The access mode the error log is opened with.
  static constexpr int kLogAccessMode = 0x42;

  ErrorReporter();
  virtual ~ErrorReporter();
  ErrorReporter(const ErrorReporter&) = delete;
  ErrorReporter& operator=(const ErrorReporter&) = delete;

  // Loads the default message table (defaultMessages), replacing any table before, and forgets
  // every procedure name.
  void init();
  // Empties the table, forgets the procedure names and closes the error log.
  void kill();

  // Adds `message` to the table, replacing the message of the same number.
  void setMessage(const ErrorMessage& message);
  // The message numbered `id`; nothing when the table has none.
  std::optional<ErrorMessage> message(int id) const;

  // Sets the procedure name of the calling thread; an empty name removes it.
  void setProcedureName(std::string_view name);
  // The calling thread's procedure name; empty when none is set.
  std::string procedureName() const;

  // `text` with every placeholder filled from `context` and the calling thread's procedure
  // name. The text is read once from left to right, so a value that itself holds a placeholder
  // stays as it is; a "%" that starts no placeholder is kept.
  std::string fill(std::string_view text, const ErrorContext& context) const;

  // Reports message `id` with `context`: a LevelBenign message is shown to nobody; a LevelNotify
  // message is shown with OK; a LevelUser message asks Yes or No; a LevelFatal message is shown
  // with OK and then ends the program through HALT with kFatalExitCode. The box's caption is the
  // filled title, with " - " and the calling thread's procedure name after it when one is set. An
  // unknown number is reported as a LevelNotify message saying so. Answers LevelBenign (not shown,
  // or Yes), LevelCancel (No) or LevelNotify (shown with OK). A context with a path shows it on
  // the message's last line.
  int report(int id, const ErrorContext& context = {});

  // Names the error log, a text file of one line per message shown; an open log is closed
  // first. The next openLog creates the file when it does not exist.
  void setLogFile(std::string_view name);
  // Opens the error log through ds_FileOpen with kLogAccessMode. Before the first open of a
  // named log, or when `force` is set, a missing log file is created first. Answers
  // LevelBenign when the log is open (also when it was open already), LevelNotify when no log
  // is named or the create or the open failed (any non-zero error code).
  int openLog(bool force = false);
  // Closes the error log; messages are no longer written to it.
  void closeLog();
  // True while the error log is open.
  bool logOpen() const;

 private:
  // Appends one line for a shown message to the open log.
  void writeLog(int id, std::string_view caption, std::string_view text);

  mutable runtime::CriticalSection lock_;
  std::map<int, ErrorMessage> messages_;
  std::map<int, std::string> procedures_;  // by thread number
  std::unique_ptr<files::FileDeclaration> log_;
  bool logCreateChecked_ = false;
};

}  // namespace classlib

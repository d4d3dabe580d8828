// A seam for tests: every entry point of the upgrade manager (the registration calls and
// ds_FileOpen) tells the installed recorder that it was called, with its arguments, before it
// does its work. Without a recorder nothing is recorded.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// One call of an entry point.
struct EntryCall {
  std::string entry;  // "ds_SetOption", "ds_FileOpen", ...
  // The arguments in order, as text: texts in double quotes, numbers in decimal, a FILE or VIEW
  // as FILE(label) or VIEW(label), a record address as "record".
  std::vector<std::string> arguments;
  const void* object = nullptr;  // the FILE or VIEW passed, if any
  const void* record = nullptr;  // the record address passed, if any

  // entry(argument, argument, ...).
  std::string text() const;
};

// Builds an EntryCall argument by argument.
class EntryCallBuilder {
 public:
  explicit EntryCallBuilder(std::string_view entry) { call_.entry = entry; }
  EntryCallBuilder& text(std::string_view value);
  EntryCallBuilder& number(std::int64_t value);
  EntryCallBuilder& file(const files::FileDeclaration& file);
  EntryCallBuilder& object(std::string_view kind, std::string_view label, const void* address);
  EntryCallBuilder& record(const void* address);
  // Hands the call to the installed recorder, if any.
  void send() const;

 private:
  EntryCall call_;
};

// Receives the calls. record() may be called from any thread.
class CallRecorder {
 public:
  virtual ~CallRecorder() = default;
  virtual void record(const EntryCall& call) = 0;
};

// Installs `recorder` for the whole process (nullptr: none); answers the one installed before.
CallRecorder* setCallRecorder(CallRecorder* recorder);

// A recorder that keeps every call in order.
class CallLog : public CallRecorder {
 public:
  void record(const EntryCall& call) override;
  std::vector<EntryCall> calls() const;
  // text() of every call, in order.
  std::vector<std::string> texts() const;

 private:
  mutable std::mutex mutex_;
  std::vector<EntryCall> calls_;
};

// Installs a recorder for a scope and puts back the one before at its end.
class ScopedCallRecorder {
 public:
  explicit ScopedCallRecorder(CallRecorder& recorder) : previous_(setCallRecorder(&recorder)) {}
  ~ScopedCallRecorder() { setCallRecorder(previous_); }
  ScopedCallRecorder(const ScopedCallRecorder&) = delete;
  ScopedCallRecorder& operator=(const ScopedCallRecorder&) = delete;

 private:
  CallRecorder* previous_;
};

}  // namespace upkeep

// The file manager of one dictionary file: the class library's FileManager told the file's
// buffer, display name, keys, create-when-missing and lock wait, and (for template and func)
// the memo bound by name for filter expressions.
#pragma once

#include "app/dictionary/managed_files.h"
#include "classlib/file_manager.h"

namespace app {

// The lock wait every dictionary file is given, in seconds.
inline constexpr std::uint16_t kDictionaryLockWait = 10;

class DictionaryFileManager : public classlib::FileManager {
 public:
  explicit DictionaryFileManager(const ManagedFileSpec& spec) : spec_(spec) {}

  // Binds the record's fields, then the memo (when the file binds one) as text under its name.
  void bindFields() override;
  // The library's kill, then the thread's reference to this manager is cleared.
  void kill() override;
  // Any use first makes sure of UseInitialises; the first UseInitialises runs the library's
  // initialisation with the FILE and the global error reporter, switches create-when-missing
  // on, sets the lock wait and adds the keys with their descriptions. Answers what the
  // library's use answers.
  int use(int useType = classlib::UseOpens) override;

  // Gives the manager the calling thread's record buffer with its descriptor, the display name
  // (the file's label), the global error reporter and the FILE; runs the library's init and
  // publishes the manager as the thread's file manager of the file. The manager is then not
  // initialised for use until its first use.
  void initialise();

  const ManagedFileSpec& spec() const { return spec_; }

 private:
  const ManagedFileSpec& spec_;
  bool initialisedForUse_ = false;
};

}  // namespace app

// The file manager: the one way the program reads and writes a declared file. One manager per
// declared file and thread. It opens the file on its first use through the upgrade manager's
// ds_FileOpen (creating a missing file when asked), counts its users and closes the file when
// the last one is done, reads and writes records, numbers new records on their auto-number key,
// runs the validation hooks before a write, and reports every failure through the error
// reporter with the file's display name and the key's description.
//
// Every step is a virtual operation, so the dictionary's managers can override any of them;
// they are declared in slot order below. A step that "reports" shows its failure through the
// error reporter and answers an ErrorLevel (LevelBenign = done, LevelNotify = failed); a "try"
// step reports nothing and answers the runtime's error code (0 = done).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classlib/error_level.h"
#include "classlib/error_reporter.h"
#include "platform/runtime/bound_value.h"

namespace files {
class FileDeclaration;
struct KeyDef;
}  // namespace files

namespace classlib {

// The access mode a file manager opens with unless told otherwise: read/write, deny none.
inline constexpr std::uint8_t kDefaultAccessMode = 0x42;
// How many times insert tries a new auto number after a duplicate before it gives up.
inline constexpr int kAutoNumberTries = 3;

// What use() is asked to do.
enum UseType : int {
  UseOpens = 1,        // open the file on the first use and count one more user
  UseInitialises = 5,  // only make sure the manager is initialised
};

// A key the manager was told about with addKey.
struct ManagedKey {
  int number = 0;           // the key's number in the FILE, 1-based
  std::string description;  // what "%Key" shows
  bool autoNumber = false;  // its last component, a LONG, is numbered on insert
};

class FileManager {
 public:
  FileManager() = default;
  // Closes what the manager opened and forgets its bound names, unless kill did already. The
  // FILE must still exist then.
  virtual ~FileManager();
  FileManager(const FileManager&) = delete;
  FileManager& operator=(const FileManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // Binds every field of the record (arrays excepted) under its label for filter expressions.
  // The names stay bound until kill, which unbinds those still bound to this manager's buffer.
  virtual void bindFields();
  // The class library's initialisation: closes a file the manager opened and unbinds its
  // names; then no users, the default access mode, lock wait 0, create flag off, no keys;
  // initialised and not killed.
  virtual void init();
  // Attaches `file` and `errors`, runs init() and bindFields(). A buffer given with setBuffer
  // must be the file's own record buffer.
  virtual void initWith(files::FileDeclaration& file, ErrorReporter& errors);
  // Once initialised and not yet killed: closes the file if this manager opened it, forgets
  // its users and keys, unbinds its names and marks itself killed.
  virtual void kill();
  // UseInitialises: answers LevelBenign. UseOpens: on the first use opens the file (tryOpen)
  // and reports a failure (LevelNotify, the user count unchanged); otherwise, and after a
  // successful open, counts one more user and answers LevelBenign. The manager must have its
  // FILE and error reporter.
  virtual int use(int useType = UseOpens);
  // The six validation hooks, asked before a write; each answers true unless overridden.
  // validateFields asks validateField for each field from `first` to `last` (1-based) and
  // remembers the first that fails; validateRecord asks validateFields for every field;
  // validateNewRecord (insert) and validateChangedRecord (update) ask validateRecord;
  // validateDelete answers true.
  virtual bool validateField(int field);
  virtual bool validateFields(int first, int last);
  virtual bool validateRecord();
  virtual bool validateNewRecord();
  virtual bool validateChangedRecord();
  virtual bool validateDelete();
  // Gives the manager the record buffer with its record type descriptor (the size is the
  // buffer's).
  virtual void setBuffer(std::span<std::byte> record, std::span<const std::uint8_t> descriptor);
  // Sets the name shown for "%File".
  virtual void setName(std::string_view name);
  virtual void setErrors(ErrorReporter& errors);
  virtual void setFile(files::FileDeclaration& file);
  // Adds key number `key` of the FILE with its description; `autoNumber` makes insert number
  // the key's last component. Answers false, adding nothing, when the FILE has no such key, the
  // key was added already, or an auto-number key's last component is not an ascending LONG.
  virtual bool addKey(int key, std::string_view description, bool autoNumber = false);
  // When set, an open that finds the file missing (error 2) creates it and opens it again.
  virtual void setCreate(bool create);
  // The lock-wait setting, in seconds; kept for the drivers' lock handling.
  virtual void setLockWait(std::uint16_t seconds);
  // The access mode the file is opened with (kDefaultAccessMode unless set).
  virtual void setAccessMode(std::uint8_t mode);
  // Try: opens the file through ds_FileOpen with the access mode; 0 and 52 (already open) are
  // success. When the file is missing and the create flag is set, creates it and opens again.
  // Answers the error code. createFailed() tells whether a failure came from the create.
  virtual int tryOpen();
  // Releases one user; the last one closes the file if this manager opened it. Answers
  // LevelBenign (a manager without users does nothing).
  virtual int close();
  // Reports: reads the record whose key `key` values equal the buffer's. When none is found,
  // or the read fails, the record buffer and memos are blanked; "not found" is reported as
  // MsgRecordNotFound (shown to nobody by default), other errors as MsgReadFailed.
  virtual int fetch(int key);
  // Try: the same read; on failure the buffer is left as it was. Answers 0 or the error (35
  // when nothing was found).
  virtual int tryFetch(int key);
  // Try: reads the next record of the sequence started by SET. Answers 0 or the error.
  virtual int tryNext();
  // Blanks the record buffer and memos and gives each auto-number key its next number.
  virtual int primeRecord();
  // Reports: validateNewRecord, then tryInsert. A field the hooks refused is reported with
  // MsgFieldInvalid, a record they refused with MsgRecordInvalid, a duplicate key with
  // MsgDuplicateKey (the file's data is left as it was), other errors with MsgInsertFailed.
  virtual int insert();
  // Try: gives each auto-number key whose number is 0 its next number, then ADD. When ADD
  // finds the auto number taken (another user was quicker), the key gets the next number and
  // ADD is tried again, kAutoNumberTries times in all. Answers 0 or the error (40 duplicate).
  virtual int tryInsert();
  // Reports: validateChangedRecord, then tryUpdate; failures as for insert (MsgUpdateFailed).
  virtual int update();
  // Try: writes the buffer back over the current record, the one last read or added (PUT).
  // Answers 0 or the error.
  virtual int tryUpdate();
  // Reports: with `ask`, asks MsgConfirmDelete first (LevelCancel when the user says No); then
  // validateDelete (LevelNotify, nothing reported, when it refuses) and DELETE of the record
  // last read (failure reported as MsgDeleteFailed).
  virtual int deleteRecord(bool ask = false);
  // Try: the next number of auto-number key `key`: 1 more than the last record's whose other
  // components equal the buffer's, 1 when there is none. The buffer and memos are left as
  // they were, but it reads through the key, so the record last read is no longer the current
  // one. Answers 0 or the error (40 when the numbers are used up).
  virtual int nextAutoNumber(int key, std::int32_t& number);

  // ---- State ----

  const std::string& name() const { return name_; }
  files::FileDeclaration* file() const { return file_; }
  // True after use reported that the file cannot be opened (or created), until it opens: what
  // else fails to open over the same file need not say it again.
  bool openFailureReported() const { return openFailureReported_; }
  ErrorReporter* errors() const { return errors_; }
  // What setBuffer was given; empty until then.
  std::span<std::byte> buffer() const { return buffer_; }
  std::span<const std::uint8_t> descriptor() const { return descriptor_; }
  bool initialised() const { return initialised_; }
  bool killed() const { return killed_; }
  // The number of users counted by use and not yet released by close.
  int users() const { return users_; }
  // True while the file is open because this manager opened it.
  bool opened() const { return opened_; }
  // True when the last tryOpen failed in its create step.
  bool createFailed() const { return createFailed_; }
  std::uint8_t accessMode() const { return accessMode_; }
  bool createsMissingFile() const { return create_; }
  std::uint16_t lockWait() const { return lockWait_; }
  std::span<const ManagedKey> keys() const { return keys_; }
  // The managed key numbered `key` in the FILE; nullptr when it was not added.
  const ManagedKey* managedKey(int key) const;
  // The number of the field validateFields found invalid last; 0 when none.
  int invalidField() const { return invalidField_; }

 protected:
  // Reports message `id` with this file's name, the description of key `key` (its label when
  // it was not added; nothing for 0), `field`, and the error of `context` (by default the
  // calling thread's error state now). Answers what the error reporter answers.
  int report(int id, int key = 0, std::string_view field = {}, ErrorContext context = {});
  // Binds `variable` under `name` like BIND and remembers it, so kill unbinds it.
  bool bindName(std::string_view name, std::shared_ptr<runtime::BoundValue> variable);

 private:
  // Key number `key` of the FILE, which must have it.
  const files::KeyDef& keyDef(int key) const;
  // Reports what the validation hooks refused: the invalid field, or the record.
  int reportInvalid();
  // Reports a failed write: a duplicate on `duplicateKey` (0: not known), or `failedMessage`.
  int reportWriteFailure(int code, int duplicateKey, int failedMessage);
  // The first unique key in whose values another record equals the buffer; 0 when none. It
  // reads through GET, so the record last read is no longer the current one; the buffer, the
  // memos and the error state are left as they were.
  int duplicatedKey();
  // The unique key a duplicate on update is reported with: the first unique key whose values
  // differ from the record as this manager last read or wrote it; when the manager does not
  // know that record, the file's only unique key. 0 when neither tells.
  int changedUniqueKey() const;
  // Keeps a copy of the record buffer as the current record.
  void rememberCurrent();
  void blankBuffer();
  void releaseFile();
  void unbindNames();

  files::FileDeclaration* file_ = nullptr;
  ErrorReporter* errors_ = nullptr;
  std::span<std::byte> buffer_;
  std::span<const std::uint8_t> descriptor_;
  std::string name_;
  std::vector<ManagedKey> keys_;
  std::vector<std::byte> current_;  // the current record as last read or written; empty: unknown
  std::vector<std::pair<std::string, std::shared_ptr<runtime::BoundValue>>> bound_;
  std::uint8_t accessMode_ = kDefaultAccessMode;
  std::uint16_t lockWait_ = 0;
  bool create_ = false;
  bool initialised_ = false;
  bool killed_ = false;
  bool opened_ = false;
  bool createFailed_ = false;
  int users_ = 0;
  bool openFailureReported_ = false;
  int invalidField_ = 0;
};

}  // namespace classlib

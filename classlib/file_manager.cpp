#include "classlib/file_manager.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "classlib/file_path.h"
#include "classlib/saved_error.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/bound_field.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/field_types.h"
#include "upkeep/file_open.h"

namespace classlib {
namespace {

// The record buffer and memos of a file, put back when the copy goes out of scope.
class SavedRecord {
 public:
  explicit SavedRecord(files::FileDeclaration& file)
      : file_(file), record_(file.record().begin(), file.record().end()) {
    for (const files::Memo& memo : file.memos()) memos_.emplace_back(memo.content());
  }
  ~SavedRecord() {
    std::memcpy(file_.record().data(), record_.data(), record_.size());
    for (std::size_t i = 0; i < memos_.size(); ++i) file_.memos()[i].setBytes(memos_[i]);
  }
  SavedRecord(const SavedRecord&) = delete;
  SavedRecord& operator=(const SavedRecord&) = delete;

  const std::byte* record() const { return record_.data(); }

 private:
  files::FileDeclaration& file_;
  std::vector<std::byte> record_;
  std::vector<std::string> memos_;
};

// The error of NEXT and PREVIOUS at the end or start of the records.
constexpr int kEndOfFile = 33;

// The field an auto-number key numbers: its last component.
int numberedField(const files::KeyDef& key) { return key.components.back(); }

std::int32_t readLong(const files::FileDeclaration& file, const std::byte* record, int field) {
  runtime::Long value;
  std::memcpy(&value, record + file.layout().field(field)->offset, sizeof value);
  return value;
}

void writeLong(files::FileDeclaration& file, int field, std::int32_t number) {
  const runtime::Long value(number);
  std::memcpy(file.record().data() + file.layout().field(field)->offset, &value, sizeof value);
}

}  // namespace

FileManager::~FileManager() {
  releaseFile();
  unbindNames();
}

void FileManager::bindFields() {
  assert(file_ && "bindFields needs the FILE");
  for (const runtime::FieldDef& field : file_->layout().fields()) {
    if (auto variable = runtime::boundField(field, file_->record().data())) {
      bindName(field.label, std::move(variable));
    }
  }
}

void FileManager::init() {
  releaseFile();
  unbindNames();
  users_ = 0;
  createFailed_ = false;
  accessMode_ = kDefaultAccessMode;
  lockWait_ = 0;
  create_ = false;
  keys_.clear();
  invalidField_ = 0;
  initialised_ = true;
  killed_ = false;
}

void FileManager::initWith(files::FileDeclaration& file, ErrorReporter& errors) {
  assert((buffer_.empty() ||
          (buffer_.data() == file.record().data() && buffer_.size() == file.record().size())) &&
         "the buffer given is not the file's record buffer");
  setFile(file);
  setErrors(errors);
  init();
  bindFields();
}

void FileManager::kill() {
  if (!initialised_ || killed_) return;
  releaseFile();
  users_ = 0;
  keys_.clear();
  unbindNames();
  killed_ = true;
  initialised_ = false;
}

int FileManager::use(int useType) {
  if (useType == UseInitialises) return LevelBenign;
  assert(file_ && errors_ && "use needs the FILE and the error reporter");
  if (users_ == 0 && tryOpen() != 0) {
    ErrorContext context;
    context.path = filePath(*file_);
    report(createFailed_ ? MsgCreateFailed : MsgOpenFailed, 0, {}, context);
    openFailureReported_ = true;
    return LevelNotify;
  }
  openFailureReported_ = false;
  ++users_;
  return LevelBenign;
}

bool FileManager::validateField(int) { return true; }

bool FileManager::validateFields(int first, int last) {
  for (int field = first; field <= last; ++field) {
    if (!validateField(field)) {
      invalidField_ = field;
      return false;
    }
  }
  return true;
}

bool FileManager::validateRecord() {
  return validateFields(1, static_cast<int>(file_->layout().fieldCount()));
}

bool FileManager::validateNewRecord() { return validateRecord(); }

bool FileManager::validateChangedRecord() { return validateRecord(); }

bool FileManager::validateDelete() { return true; }

void FileManager::setBuffer(std::span<std::byte> record, std::span<const std::uint8_t> descriptor) {
  buffer_ = record;
  descriptor_ = descriptor;
}

void FileManager::setName(std::string_view name) { name_ = name; }

void FileManager::setErrors(ErrorReporter& errors) { errors_ = &errors; }

void FileManager::setFile(files::FileDeclaration& file) { file_ = &file; }

bool FileManager::addKey(int key, std::string_view description, bool autoNumber) {
  assert(file_ && "addKey needs the FILE");
  const files::KeyDef* def = file_->key(key);
  if (def == nullptr || def->components.empty() || managedKey(key) != nullptr) return false;
  if (autoNumber) {
    const int field = numberedField(*def);
    const runtime::FieldDef* numbered = field > 0 ? file_->layout().field(field) : nullptr;
    if (numbered == nullptr || numbered->type != runtime::FieldType::Long || numbered->isArray()) {
      return false;
    }
  }
  keys_.push_back({key, std::string(description), autoNumber});
  return true;
}

void FileManager::setCreate(bool create) { create_ = create; }

void FileManager::setLockWait(std::uint16_t seconds) { lockWait_ = seconds; }

void FileManager::setAccessMode(std::uint8_t mode) { accessMode_ = mode; }

int FileManager::tryOpen() {
  createFailed_ = false;
  upkeep::ds_FileOpen(*file_, accessMode_);
  int code = runtime::ERRORCODE();
  if (code == runtime::FileNotFoundErr && create_) {
    files::CREATE(*file_);
    if (runtime::ERRORCODE() != 0) {
      createFailed_ = true;
      return runtime::ERRORCODE();
    }
    upkeep::ds_FileOpen(*file_, accessMode_);
    code = runtime::ERRORCODE();
  }
  if (code == runtime::FileAlreadyOpenErr) {
    // Opened by someone else, so this manager will not close it.
    runtime::clearError();
    return 0;
  }
  opened_ = code == 0;
  return code;
}

int FileManager::close() {
  if (users_ > 0 && --users_ == 0) releaseFile();
  return LevelBenign;
}

int FileManager::fetch(int key) {
  const int code = tryFetch(key);
  if (code == 0) return LevelBenign;
  blankBuffer();
  report(code == runtime::RecordNotFoundErr ? MsgRecordNotFound : MsgReadFailed, key);
  return LevelNotify;
}

int FileManager::tryFetch(int key) {
  files::GET(*file_, keyDef(key));
  if (runtime::ERRORCODE() == 0) rememberCurrent();
  return runtime::ERRORCODE();
}

int FileManager::tryNext() {
  files::NEXT(*file_);
  if (runtime::ERRORCODE() == 0) rememberCurrent();
  return runtime::ERRORCODE();
}

int FileManager::primeRecord() {
  blankBuffer();
  for (const ManagedKey& key : keys_) {
    if (!key.autoNumber) continue;
    std::int32_t number = 0;
    if (const int code = nextAutoNumber(key.number, number); code != 0) return code;
    writeLong(*file_, numberedField(keyDef(key.number)), number);
  }
  return 0;
}

int FileManager::insert() {
  invalidField_ = 0;
  if (!validateNewRecord()) return reportInvalid();
  const int code = tryInsert();
  if (code == 0) return LevelBenign;
  const int duplicate = code == runtime::DuplicateKeyErr ? duplicatedKey() : 0;
  return reportWriteFailure(code, duplicate, MsgInsertFailed);
}

int FileManager::tryInsert() {
  for (const ManagedKey& key : keys_) {
    if (!key.autoNumber) continue;
    const int field = numberedField(keyDef(key.number));
    if (readLong(*file_, file_->record().data(), field) != 0) continue;
    std::int32_t number = 0;
    if (const int code = nextAutoNumber(key.number, number); code != 0) return code;
    writeLong(*file_, field, number);
  }
  for (int attempt = 1;; ++attempt) {
    files::ADD(*file_);
    const int code = runtime::ERRORCODE();
    if (code == 0) rememberCurrent();
    if (code != runtime::DuplicateKeyErr || attempt == kAutoNumberTries) return code;
    // Taken meanwhile? Give the auto-number key that holds a used number its next number.
    const ManagedKey* key = managedKey(duplicatedKey());
    if (key == nullptr || !key->autoNumber) return code;
    std::int32_t number = 0;
    if (const int failed = nextAutoNumber(key->number, number); failed != 0) return failed;
    writeLong(*file_, numberedField(keyDef(key->number)), number);
  }
}

int FileManager::update() {
  invalidField_ = 0;
  if (!validateChangedRecord()) return reportInvalid();
  const int code = tryUpdate();
  if (code == 0) return LevelBenign;
  return reportWriteFailure(code, code == runtime::DuplicateKeyErr ? changedUniqueKey() : 0,
                            MsgUpdateFailed);
}

int FileManager::tryUpdate() {
  files::PUT(*file_);
  if (runtime::ERRORCODE() == 0) rememberCurrent();
  return runtime::ERRORCODE();
}

int FileManager::deleteRecord(bool ask) {
  if (ask && report(MsgConfirmDelete) == LevelCancel) return LevelCancel;
  if (!validateDelete()) return LevelNotify;
  files::DELETE(*file_);
  if (runtime::ERRORCODE() == 0) {
    current_.clear();
    return LevelBenign;
  }
  report(MsgDeleteFailed);
  return LevelNotify;
}

int FileManager::nextAutoNumber(int key, std::int32_t& number) {
  const files::KeyDef& def = keyDef(key);
  const int field = numberedField(def);
  SavedRecord before(*file_);
  current_.clear();
  // Position after every record that shares the other components, and read back one.
  writeLong(*file_, field, std::numeric_limits<std::int32_t>::max());
  files::SET(*file_, def, files::SetFrom::RecordBuffer);
  if (runtime::ERRORCODE() != 0) return runtime::ERRORCODE();
  files::PREVIOUS(*file_);
  const int code = runtime::ERRORCODE();
  if (code != 0 && code != kEndOfFile) return code;
  number = 1;
  if (code == 0) {
    bool samePrefix = true;
    for (std::size_t i = 0; i + 1 < def.components.size(); ++i) {
      const runtime::FieldDef& component = *file_->layout().field(std::abs(def.components[i]));
      samePrefix = samePrefix &&
                   runtime::compareFieldValues(component, file_->record().data(), before.record(),
                                               (def.flags & files::KeyNoCase) != 0) == 0;
    }
    if (samePrefix) {
      const std::int32_t last = readLong(*file_, file_->record().data(), field);
      if (last == std::numeric_limits<std::int32_t>::max()) {
        runtime::setError(runtime::DuplicateKeyErr);
        return runtime::DuplicateKeyErr;
      }
      number = last + 1;
    }
  }
  runtime::clearError();
  return 0;
}

const files::KeyDef& FileManager::keyDef(int key) const {
  assert(file_ && file_->key(key) && "a key of the FILE");
  return *file_->key(key);
}

const ManagedKey* FileManager::managedKey(int key) const {
  for (const ManagedKey& managed : keys_) {
    if (managed.number == key) return &managed;
  }
  return nullptr;
}

int FileManager::report(int id, int key, std::string_view field, ErrorContext context) {
  assert(errors_ && "reporting needs the error reporter");
  context.file = name_;
  if (const ManagedKey* managed = managedKey(key)) {
    context.key = managed->description;
  } else if (const files::KeyDef* def = file_ ? file_->key(key) : nullptr) {
    context.key = def->label;
  }
  context.field = field;
  return errors_->report(id, context);
}

bool FileManager::bindName(std::string_view name, std::shared_ptr<runtime::BoundValue> variable) {
  if (!runtime::BIND(name, variable)) return false;
  bound_.emplace_back(std::string(name), std::move(variable));
  return true;
}

int FileManager::reportInvalid() {
  if (invalidField_ != 0) {
    report(MsgFieldInvalid, 0, file_->layout().field(invalidField_)->label);
  } else {
    report(MsgRecordInvalid);
  }
  return LevelNotify;
}

int FileManager::reportWriteFailure(int code, int duplicateKey, int failedMessage) {
  report(code == runtime::DuplicateKeyErr ? MsgDuplicateKey : failedMessage, duplicateKey);
  return LevelNotify;
}

int FileManager::duplicatedKey() {
  const SavedError failure;
  SavedRecord before(*file_);
  current_.clear();
  for (int key = 1; key <= static_cast<int>(file_->keyCount()); ++key) {
    if (!file_->key(key)->unique()) continue;
    files::GET(*file_, *file_->key(key));
    const bool found = runtime::ERRORCODE() == 0;
    std::memcpy(file_->record().data(), before.record(), file_->record().size());
    if (found) return key;
  }
  return 0;
}

int FileManager::changedUniqueKey() const {
  int only = 0;
  int uniqueKeys = 0;
  for (int key = 1; key <= static_cast<int>(file_->keyCount()); ++key) {
    const files::KeyDef& def = *file_->key(key);
    if (!def.unique()) continue;
    ++uniqueKeys;
    only = key;
    if (current_.empty()) continue;
    for (const std::int32_t component : def.components) {
      const runtime::FieldDef& field = *file_->layout().field(std::abs(component));
      if (runtime::compareFieldValues(field, file_->record().data(), current_.data(),
                                      (def.flags & files::KeyNoCase) != 0) != 0) {
        return key;
      }
    }
  }
  return current_.empty() && uniqueKeys == 1 ? only : 0;
}

void FileManager::rememberCurrent() {
  current_.assign(file_->record().begin(), file_->record().end());
}

void FileManager::blankBuffer() {
  runtime::blankRecord(file_->layout(), file_->record().data());
  for (files::Memo& memo : file_->memos()) memo.clear();
}

void FileManager::releaseFile() {
  current_.clear();
  if (!opened_) return;
  files::CLOSE(*file_);
  opened_ = false;
}

void FileManager::unbindNames() {
  for (const auto& [name, variable] : bound_) {
    if (runtime::boundVariable(name) == variable) runtime::UNBIND(name);
  }
  bound_.clear();
}

}  // namespace classlib

#include "platform/files/file_driver.h"

#include <sys/stat.h>

#include <algorithm>
#include <cassert>
#include <vector>

#include "platform/files/ascii_driver.h"
#include "platform/files/cask_driver.h"
#include "platform/files/cask_name.h"
#include "platform/files/dos_driver.h"
#include "platform/files/driver_error.h"
#include "platform/files/file_ops.h"
#include "platform/files/sql_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/record_layout.h"

namespace files {
namespace {

// The open files of the calling thread's transaction (LOGOUT to COMMIT or ROLLBACK).
thread_local std::vector<DriverFile*> transactionFiles;

// The driver of old data files, when one is installed.
FileDriver* corvidDriver = nullptr;

int notSupported() { return driverError(kNotSupportedErr, "the file's driver does not do this"); }

// The FILE's open handle, or null with error 37.
DriverFile* openFile(FileDeclaration& file) {
  runtime::clearError();
  auto* handle = static_cast<DriverFile*>(file.openState().handle.get());
  if (handle == nullptr) driverError(kFileNotOpenErr, "the file is not open");
  return handle;
}

int keyIndex(const FileDeclaration& file, const KeyDef& key) {
  const std::span<const KeyDef> keys = file.keys();
  assert(&key >= keys.data() && &key < keys.data() + keys.size() && "a key of another FILE");
  return static_cast<int>(&key - keys.data());
}

// The driver of a closed FILE, or null with the error set (52 when it is open, 80 without one).
FileDriver* closedFileDriver(FileDeclaration& file, bool openIsConflict) {
  runtime::clearError();
  if (file.openState().isOpen()) {
    driverError(openIsConflict ? runtime::AccessDeniedErr : runtime::FileAlreadyOpenErr,
                "the file is open");
    return nullptr;
  }
  FileDriver* driver = fileDriver(file.driver());
  if (driver == nullptr) notSupported();
  return driver;
}

}  // namespace

std::int64_t DriverFile::records() {
  notSupported();
  return -1;
}
int DriverFile::setPhysical() { return notSupported(); }
int DriverFile::setKey(int, bool) { return notSupported(); }
int DriverFile::limitKey(int, int) { return notSupported(); }
int DriverFile::next() { return notSupported(); }
int DriverFile::previous() { return notSupported(); }
int DriverFile::get(int) { return notSupported(); }
int DriverFile::getBytes(std::int64_t, std::int64_t) { return notSupported(); }
int DriverFile::add() { return notSupported(); }
int DriverFile::append() { return notSupported(); }
int DriverFile::put() { return notSupported(); }
int DriverFile::erase() { return notSupported(); }
int DriverFile::build() { return notSupported(); }
int DriverFile::send(std::string_view) { return notSupported(); }
int DriverFile::logout(int) { return notSupported(); }
int DriverFile::reget(std::int64_t) { return notSupported(); }
int DriverFile::commit() { return 0; }
int DriverFile::rollback() { return 0; }
int DriverFile::stream() { return notSupported(); }
int DriverFile::flush() { return notSupported(); }

DriverFile::~DriverFile() { std::erase(transactionFiles, this); }

void installCorvidDriver(FileDriver* driver) { corvidDriver = driver; }

FileDriver* fileDriver(Driver driver) {
  switch (driver) {
    case Driver::Caskfile: return &caskDriver();
    case Driver::Ascii: return &asciiDriver();
    case Driver::Dos: return &dosDriver();
    case Driver::Mssql:
    case Driver::Oracle:
    case Driver::SqlAnywhere:
    case Driver::Odbc: return &sqlDriver();
    case Driver::Corvid: return corvidDriver;
  }
  return nullptr;
}

void OPEN(FileDeclaration& file, int mode) {
  FileDriver* driver = closedFileDriver(file, false);
  if (driver == nullptr) return;
  const std::optional<AccessMode> access = decodeAccessMode(mode);
  if (!access) {
    driverError(runtime::AccessDeniedErr, "not an access mode");
    return;
  }
  const std::string name = file.currentName();
  std::unique_ptr<DriverFile> handle;
  driver->open(file, name, *access, handle);
  if (handle == nullptr) return;
  OpenState& state = file.openState();
  state.handle = std::move(handle);
  state.accessMode = static_cast<std::uint8_t>(mode);
  state.name = name;
}

void SHARE(FileDeclaration& file, int mode) { OPEN(file, mode); }

void CREATE(FileDeclaration& file) {
  if (FileDriver* driver = closedFileDriver(file, true)) driver->create(file, file.currentName());
}

void CLOSE(FileDeclaration& file) {
  runtime::clearError();
  OpenState& state = file.openState();
  state.handle.reset();
  state.accessMode = 0;
  state.name.clear();
}

void REMOVE(FileDeclaration& file) {
  if (FileDriver* driver = closedFileDriver(file, true)) driver->remove(file, file.currentName());
}

void RENAME(FileDeclaration& file, std::string_view target) {
  if (FileDriver* driver = closedFileDriver(file, true))
    driver->rename(file, file.currentName(), std::string(target));
}

void COPY(FileDeclaration& file, std::string_view target) {
  if (FileDriver* driver = closedFileDriver(file, true))
    driver->copy(file, file.currentName(), std::string(target));
}

void REMOVE(std::string_view name) {
  runtime::clearError();
  removeNamedFile(name);
}

void RENAME(std::string_view name, std::string_view target) {
  runtime::clearError();
  renameNamedFile(name, target);
}

void COPY(std::string_view name, std::string_view target) {
  runtime::clearError();
  copyNamedFile(name, target);
}

int EXISTS(std::string_view name) {
  const std::size_t mark = name.find("\\!");
  struct stat info {};
  return stat(runtime::toOsPath(name.substr(0, mark)).c_str(), &info) == 0 ? 1 : 0;
}

std::string NAME(const FileDeclaration& file) {
  const OpenState& state = file.openState();
  return state.isOpen() ? state.name : file.currentName();
}

int STATUS(const FileDeclaration& file) { return file.openState().accessMode; }

std::int64_t RECORDS(FileDeclaration& file) {
  DriverFile* handle = openFile(file);
  if (handle == nullptr) return 0;
  const std::int64_t count = handle->records();
  return count < 0 ? 0 : count;
}

void SET(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->setPhysical();
}

void SET(FileDeclaration& file, const KeyDef& key, SetFrom from) {
  if (DriverFile* handle = openFile(file))
    handle->setKey(keyIndex(file, key), from == SetFrom::RecordBuffer);
}

void NEXT(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->next();
}

void PREVIOUS(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->previous();
}

void GET(FileDeclaration& file, const KeyDef& key) {
  if (DriverFile* handle = openFile(file)) handle->get(keyIndex(file, key));
}

void GET(FileDeclaration& file, std::int64_t position, std::int64_t length) {
  if (DriverFile* handle = openFile(file)) handle->getBytes(position, length);
}

ReadHold::ReadHold(FileDeclaration& file) : file_(file) {
  if (auto* handle = static_cast<DriverFile*>(file.openState().handle.get()))
    held_ = handle->holdReads();
}

ReadHold::~ReadHold() {
  if (held_) endReadHold(file_);  // the file may have been closed meanwhile
}

void endReadHold(FileDeclaration& file) {
  if (auto* handle = static_cast<DriverFile*>(file.openState().handle.get()))
    handle->releaseReads();
}

void ADD(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->add();
}

void APPEND(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->append();
}

void PUT(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->put();
}

void DELETE(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->erase();
}

void BUILD(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->build();
}

std::string SEND(FileDeclaration& file, std::string_view command) {
  if (DriverFile* handle = openFile(file)) handle->send(command);
  return {};
}

void LOGOUT(int waitSeconds, FileDeclaration& file) {
  DriverFile* handle = openFile(file);
  if (handle == nullptr || handle->logout(waitSeconds) != 0) return;
  if (std::find(transactionFiles.begin(), transactionFiles.end(), handle) == transactionFiles.end())
    transactionFiles.push_back(handle);
}

void COMMIT() {
  runtime::clearError();
  int failed = 0;
  std::string driverCode;
  std::string driverText;
  for (DriverFile* handle : std::exchange(transactionFiles, {})) {
    if (handle->commit() != 0 && failed == 0) {
      failed = runtime::ERRORCODE();
      driverCode = runtime::FILEERRORCODE();
      driverText = runtime::FILEERROR();
    }
  }
  if (failed != 0) runtime::setFileError(failed, driverCode, driverText);
}

void ROLLBACK() {
  runtime::clearError();
  for (DriverFile* handle : std::exchange(transactionFiles, {})) handle->rollback();
}

void STREAM(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->stream();
}

void FLUSH(FileDeclaration& file) {
  if (DriverFile* handle = openFile(file)) handle->flush();
}

void CLEAR(FileDeclaration& file) {
  runtime::clearError();
  runtime::blankRecord(file.layout(), file.record().data());
  for (Memo& memo : file.memos()) memo.clear();
}

}  // namespace files

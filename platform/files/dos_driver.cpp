#include "platform/files/dos_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/files/cask_data_file.h"
#include "platform/files/plain_file_driver.h"

namespace files {
namespace {

class DosFile final : public DriverFile {
 public:
  explicit DosFile(FileDeclaration& file) : file_(file) {}

  int open(const std::string& osPath, const AccessMode& mode) {
    const int code = probePath(osPath);
    if (code != 0) return driverError(code, "the file cannot be reached");
    writable_ = mode.write;
    return lock_.acquire(osPath, mode);
  }

  std::int64_t records() override;
  int setPhysical() override {
    next_ = 0;
    return 0;
  }
  int next() override;
  int getBytes(std::int64_t position, std::int64_t length) override;
  int add() override;
  int put() override;
  int stream() override { return 0; }
  int flush() override { return 0; }

 private:
  unsigned char* record() { return reinterpret_cast<unsigned char*>(file_.record().data()); }
  std::int64_t size(int& code);
  // Reads `length` bytes at `offset` into the record buffer, zero-filling a short read.
  int readAt(std::int64_t offset, std::size_t length);
  int writeAt(std::int64_t offset);

  FileDeclaration& file_;
  ShareLock lock_;
  bool writable_ = false;
  std::int64_t next_ = 0;   // offset of the piece NEXT reads
  std::int64_t last_ = -1;  // offset of the last read, for PUT
};

std::int64_t DosFile::size(int& code) {
  struct stat info {};
  code = fstat(lock_.fd(), &info) == 0 ? 0 : systemError(errno);
  return code == 0 ? info.st_size : -1;
}

int DosFile::readAt(std::int64_t offset, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = pread(lock_.fd(), record() + done, length - done,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return systemError(errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  std::memset(record() + done, 0, length - done);
  last_ = offset;
  return 0;
}

int DosFile::writeAt(std::int64_t offset) {
  if (!writable_) return driverError(runtime::AccessDeniedErr, "the file is open for reading only");
  const std::size_t length = file_.recordLength();
  std::size_t done = 0;
  while (done < length) {
    const ssize_t put = pwrite(lock_.fd(), record() + done, length - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return systemError(errno);
    done += static_cast<std::size_t>(put);
  }
  last_ = offset;
  return 0;
}

std::int64_t DosFile::records() {
  int code = 0;
  const std::int64_t bytes = size(code);
  if (code != 0) return -1;
  const std::int64_t piece = file_.recordLength();
  return (bytes + piece - 1) / piece;
}

int DosFile::next() {
  int code = 0;
  const std::int64_t bytes = size(code);
  if (code != 0) return code;
  if (next_ >= bytes) return driverError(kRecordNotAvailableErr, "at the end of the file");
  code = readAt(next_, file_.recordLength());
  if (code == 0) next_ += file_.recordLength();
  return code;
}

int DosFile::getBytes(std::int64_t position, std::int64_t length) {
  int code = 0;
  const std::int64_t bytes = size(code);
  if (code != 0) return code;
  if (position < 1 || position > bytes)
    return driverError(runtime::RecordNotFoundErr, "the position is past the end of the file");
  const std::int64_t most = file_.recordLength();
  return readAt(position - 1, static_cast<std::size_t>(std::clamp<std::int64_t>(length, 0, most)));
}

int DosFile::add() {
  int code = 0;
  const std::int64_t bytes = size(code);
  return code != 0 ? code : writeAt(bytes);
}

int DosFile::put() {
  if (last_ < 0) return driverError(kRecordNotAvailableErr, "nothing was read");
  return writeAt(last_);
}

class DosDriver final : public PlainFileDriver {
 public:
  int open(FileDeclaration& file, const std::string& name, const AccessMode& mode,
           std::unique_ptr<DriverFile>& handle) override {
    auto opened = std::make_unique<DosFile>(file);
    const int code = opened->open(runtime::toOsPath(name), mode);
    if (code == 0) handle = std::move(opened);
    return code;
  }
};

}  // namespace

FileDriver& dosDriver() {
  static DosDriver driver;
  return driver;
}

}  // namespace files

#include "platform/files/ascii_driver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/files/cask_data_file.h"
#include "platform/files/plain_file_driver.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/utf8.h"

namespace files {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;

class AsciiFile final : public DriverFile {
 public:
  explicit AsciiFile(FileDeclaration& file) : file_(file) {}
  ~AsciiFile() override {
    if (appendFd_ >= 0) close(appendFd_);
  }

  int open(const std::string& osPath, const AccessMode& mode) {
    int code = probePath(osPath);
    if (code != 0) return driverError(code, "the file cannot be reached");
    if ((code = lock_.acquire(osPath, mode)) != 0) return code;
    if (mode.write) {
      appendFd_ = ::open(osPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (appendFd_ < 0) return systemError(errno);
    }
    return 0;
  }

  std::int64_t records() override;
  int setPhysical() override {
    position_ = 0;
    buffered_.clear();
    return 0;
  }
  int next() override;
  int add() override;
  int stream() override { return 0; }
  int flush() override { return 0; }

 private:
  // Reads the line at `position_` into `line`; false at the end of the file (or on an error,
  // then set in `code`).
  bool readLine(std::string& line, int& code);

  FileDeclaration& file_;
  ShareLock lock_;
  int appendFd_ = -1;
  off_t position_ = 0;    // where the next line starts
  std::string buffered_;  // bytes of the file from bufferStart_
  off_t bufferStart_ = 0;
  std::string line_;
};

bool AsciiFile::readLine(std::string& line, int& code) {
  line.clear();
  code = 0;
  for (;;) {
    const auto offset = static_cast<std::size_t>(position_ - bufferStart_);
    if (position_ >= bufferStart_ && offset < buffered_.size()) {
      const std::size_t newline = buffered_.find('\n', offset);
      if (newline != std::string::npos) {
        line.append(buffered_, offset, newline - offset);
        position_ = bufferStart_ + static_cast<off_t>(newline + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      line.append(buffered_, offset);
      position_ = bufferStart_ + static_cast<off_t>(buffered_.size());
    }
    buffered_.resize(kReadChunk);
    const ssize_t got = pread(lock_.fd(), buffered_.data(), kReadChunk, position_);
    if (got < 0) {
      buffered_.clear();
      code = systemError(errno);
      return false;
    }
    buffered_.resize(static_cast<std::size_t>(got));
    bufferStart_ = position_;
    if (got == 0) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return !line.empty();  // a last line without LF
    }
  }
}

int AsciiFile::next() {
  int code = 0;
  if (!readLine(line_, code))
    return code != 0 ? code : driverError(kRecordNotAvailableErr, "at the end of the file");
  const std::span<std::byte> record = file_.record();
  runtime::blankRecord(file_.layout(), record.data());
  const std::string_view text = runtime::utf8Prefix(line_, record.size());
  std::memcpy(record.data(), text.data(), text.size());
  return 0;
}

std::int64_t AsciiFile::records() {
  const off_t resume = position_;
  position_ = 0;
  std::int64_t count = 0;
  int code = 0;
  std::string line;
  while (readLine(line, code)) ++count;
  position_ = resume;
  return code != 0 ? -1 : count;
}

int AsciiFile::add() {
  if (appendFd_ < 0)
    return driverError(runtime::AccessDeniedErr, "the file is open for reading only");
  const std::span<const std::byte> record = file_.record();
  std::string_view text(reinterpret_cast<const char*>(record.data()), record.size());
  text = text.substr(0, text.find('\0'));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string line;
  struct stat info {};
  if (fstat(appendFd_, &info) == 0 && info.st_size > 0) {
    char last = '\n';
    if (pread(lock_.fd(), &last, 1, info.st_size - 1) == 1 && last != '\n') line.push_back('\n');
  }
  line.append(text);
  line.push_back('\n');
  const ssize_t written = write(appendFd_, line.data(), line.size());
  if (written < 0) return systemError(errno);
  if (static_cast<std::size_t>(written) != line.size())
    return driverError(runtime::FileSystemErr, "the line was written only in part");
  return 0;
}

class AsciiDriver final : public PlainFileDriver {
 public:
  int open(FileDeclaration& file, const std::string& name, const AccessMode& mode,
           std::unique_ptr<DriverFile>& handle) override {
    auto opened = std::make_unique<AsciiFile>(file);
    const int code = opened->open(runtime::toOsPath(name), mode);
    if (code == 0) handle = std::move(opened);
    return code;
  }
};

}  // namespace

FileDriver& asciiDriver() {
  static AsciiDriver driver;
  return driver;
}

}  // namespace files

#include "platform/runtime/whole_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace runtime {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and answers the errno of close, 0 when it succeeded.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// The file that a rename onto `osPath` must replace: the target of a symbolic link, else the
// path itself.
std::string fileToReplace(const std::string& osPath) {
  struct stat info {};
  if (lstat(osPath.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return osPath;
  char resolved[PATH_MAX];
  return realpath(osPath.c_str(), resolved) != nullptr ? std::string(resolved) : osPath;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// Creates a new, empty file beside `target` with a name no other writer uses.
int createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = folderOf(target);
  const std::string name = target.substr(target.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporaryPath = (folder == "/" ? "" : folder) + "/." + name + ".tmp-" +
                    std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void syncFolder(const std::string& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) fsync(fd.get());
}

}  // namespace

int readWholeFile(const std::string& osPath, std::string& content) {
  content.clear();
  // O_NONBLOCK keeps the open of a pipe from waiting for a writer; it is refused below anyway.
  Descriptor fd(::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return errorFromErrno(errno);
  struct stat info {};
  if (fstat(fd.get(), &info) != 0) return errorFromErrno(errno);
  if (!S_ISREG(info.st_mode)) return AccessDeniedErr;
  if (static_cast<std::uintmax_t>(info.st_size) > kWholeFileLimit) return OutOfMemoryErr;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got == 0) return NoError;
    if (got < 0) {
      if (errno == EINTR) continue;
      content.clear();
      return errorFromErrno(errno);
    }
    // The file may grow while it is read.
    if (content.size() + static_cast<std::size_t>(got) > kWholeFileLimit) {
      content.clear();
      return OutOfMemoryErr;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

namespace {

// Writes `content` to a new file beside `osPath`'s target, flushed, and renames it into place;
// only where no file stands there unless `replace`.
int writeWholeFile(const std::string& osPath, std::string_view content, bool replace) {
  const std::string target = fileToReplace(osPath);
  std::string temporaryPath;
  Descriptor fd(createTemporaryBeside(target, temporaryPath));
  if (fd.get() < 0) return errno == ENOENT ? PathNotFoundErr : errorFromErrno(errno);

  int osError = writeAll(fd.get(), content);
  struct stat existing {};
  if (osError == 0 && stat(target.c_str(), &existing) == 0 &&
      fchmod(fd.get(), existing.st_mode & 07777) != 0) {
    osError = errno;
  }
  if (osError == 0 && fsync(fd.get()) != 0) osError = errno;
  const int closeError = fd.close();
  if (osError == 0) osError = closeError;
  if (osError == 0 && renameat2(AT_FDCWD, temporaryPath.c_str(), AT_FDCWD, target.c_str(),
                                replace ? 0 : RENAME_NOREPLACE) != 0)
    osError = errno;
  if (osError != 0) {
    ::unlink(temporaryPath.c_str());
    return osError == EEXIST ? AccessDeniedErr : errorFromErrno(osError);
  }
  syncFolder(folderOf(target));
  return NoError;
}

}  // namespace

int replaceWholeFile(const std::string& osPath, std::string_view content) {
  return writeWholeFile(osPath, content, true);
}

int createWholeFile(const std::string& osPath, std::string_view content) {
  return writeWholeFile(osPath, content, false);
}

}  // namespace runtime

#include "upkeep/old_data_driver.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/files/driver_error.h"
#include "platform/files/plain_file_driver.h"
#include "upkeep/old_header.h"

namespace upkeep {
namespace {

class CorvidFile final : public files::DriverFile {
 public:
  explicit CorvidFile(files::FileDeclaration& file) : file_(file) {}

  int open(const std::string& osPath, const files::AccessMode& mode);

  std::int64_t records() override { return liveRecords_; }
  int setPhysical() override {
    next_ = 0;
    return 0;
  }
  int next() override;
  int send(std::string_view) override { return 0; }
  int stream() override { return 0; }
  int flush() override { return 0; }

 private:
  static int refuse(std::string_view why) {
    return files::driverError(runtime::InvalidDataFileErr, why);
  }
  // Reads the deleted-record chain; false when it does not match the header's counts.
  bool readDeletedChain(const OldFileBytes& bytes, const OldHeaderRecord& t);

  files::FileDeclaration& file_;
  files::ShareLock lock_;
  std::optional<OldDescriptorBytes> bytes_;  // the file's bytes, once locked
  std::uint64_t dataOffset_ = 0;
  std::uint64_t storedLength_ = 0;  // bytes of one stored record, its prefix included
  std::vector<bool> deleted_;       // one per stored record
  std::int64_t liveRecords_ = 0;
  std::size_t next_ = 0;  // the stored record NEXT looks at first
};

bool CorvidFile::readDeletedChain(const OldFileBytes& bytes, const OldHeaderRecord& t) {
  std::int64_t number = t.FREEREC;
  for (std::int32_t seen = 0; number != 0; ++seen) {
    if (seen == t.NDELS || number < 1 || static_cast<std::uint64_t>(number) > deleted_.size())
      return false;
    const std::size_t slot = static_cast<std::size_t>(number - 1);
    if (deleted_[slot]) return false;
    deleted_[slot] = true;
    std::uint8_t link[4] = {};
    if (!bytes.read(dataOffset_ + slot * storedLength_ + 1, link)) return false;
    number = static_cast<std::int32_t>(link[0] | link[1] << 8 | link[2] << 16 |
                                       static_cast<std::uint32_t>(link[3]) << 24);
  }
  return std::count(deleted_.begin(), deleted_.end(), true) == t.NDELS;
}

int CorvidFile::open(const std::string& osPath, const files::AccessMode& mode) {
  const int code = lock_.acquire(osPath, mode);
  if (code != 0) return code;
  const OldDescriptorBytes& bytes = bytes_.emplace(lock_.fd());
  std::string reason;
  const std::optional<OldHeader> header = readOldHeader(bytes, nullptr, &reason);
  if (!header) return refuse("not a sound old data file: " + reason);
  const OldHeaderRecord& t = header->T;
  if (header->encrypted) return refuse("the records of an encrypted old data file are not read");
  if (t.MEMOLEN != 0) return refuse("the memos of an old data file are not read");
  storedLength_ = static_cast<std::uint64_t>(t.RECLEN);
  if (storedLength_ - kOldRecordPrefix != file_.recordLength()) {
    return files::driverError(runtime::InvalidRecordDeclarationErr,
                              "the record length differs from the file's");
  }
  if (t.OFFSET < 0 || static_cast<std::uint64_t>(t.OFFSET) < header->end ||
      static_cast<std::uint64_t>(t.OFFSET) > bytes.size())
    return refuse("the data offset is not after the header and within the file");
  dataOffset_ = static_cast<std::uint64_t>(t.OFFSET);
  const std::uint64_t dataBytes = bytes.size() - dataOffset_;
  if (dataBytes % storedLength_ != 0) return refuse("the file does not end on a whole record");
  deleted_.assign(dataBytes / storedLength_, false);
  if (t.NRECS < 0 || t.NDELS < 0 ||
      static_cast<std::uint64_t>(t.NRECS) + static_cast<std::uint64_t>(t.NDELS) !=
          deleted_.size() ||
      !readDeletedChain(bytes, t))
    return refuse("the record counts do not match the stored records");
  liveRecords_ = t.NRECS;
  return 0;
}

int CorvidFile::next() {
  while (next_ < deleted_.size() && deleted_[next_]) ++next_;
  if (next_ == deleted_.size())
    return files::driverError(files::kRecordNotAvailableErr, "at the end of the file");
  std::vector<std::uint8_t> stored(storedLength_);
  if (!bytes_->read(dataOffset_ + next_ * storedLength_, stored))
    return files::driverError(runtime::FileSystemErr, "a record cannot be read");
  std::memcpy(file_.record().data(), stored.data() + kOldRecordPrefix, file_.recordLength());
  ++next_;
  return 0;
}

class CorvidDriver final : public files::PlainFileDriver {
 public:
  int open(files::FileDeclaration& file, const std::string& name, const files::AccessMode& mode,
           std::unique_ptr<files::DriverFile>& handle) override {
    auto opened = std::make_unique<CorvidFile>(file);
    const int code = opened->open(runtime::toOsPath(name), mode);
    if (code == 0) handle = std::move(opened);
    return code;
  }
};

}  // namespace

files::FileDriver& corvidDriver() {
  static CorvidDriver driver;
  return driver;
}

}  // namespace upkeep

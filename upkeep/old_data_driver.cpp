#include "upkeep/old_data_driver.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/driver_error.h"
#include "platform/files/plain_file_driver.h"
#include "platform/files/share_lock.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "upkeep/old_header.h"

namespace upkeep {
namespace {

constexpr int kReadDenyNone = 0x40;

// Where the stored records of an old data file lie, once all of it agrees with its header.
struct OldDataLayout {
  std::uint64_t dataOffset = 0;
  std::uint64_t storedLength = 0;  // bytes of one stored record, its prefix included
  std::vector<bool> deleted;       // one per stored record
  std::int64_t liveRecords = 0;
};

// Why the driver does not read a file: the error the open answers and the driver's text.
struct OldDataRefusal {
  int code = 0;
  std::string why;
};

// Reads the deleted-record chain into `layout`; false when it does not match the header's counts.
bool readDeletedChain(const OldFileBytes& bytes, const OldHeaderRecord& t, OldDataLayout& layout) {
  std::int64_t number = t.FREEREC;
  for (std::int32_t seen = 0; number != 0; ++seen) {
    if (seen == t.NDELS || number < 1 || static_cast<std::uint64_t>(number) > layout.deleted.size())
      return false;
    const std::size_t slot = static_cast<std::size_t>(number - 1);
    if (layout.deleted[slot]) return false;
    layout.deleted[slot] = true;
    std::uint8_t link[4] = {};
    if (!bytes.read(layout.dataOffset + slot * layout.storedLength + 1, link)) return false;
    number = static_cast<std::int32_t>(link[0] | link[1] << 8 | link[2] << 16 |
                                       static_cast<std::uint32_t>(link[3]) << 24);
  }
  return std::count(layout.deleted.begin(), layout.deleted.end(), true) == t.NDELS;
}

// Lays out the stored records of the old data file `bytes` for a declaration whose records are
// `recordLength` bytes long (none: the length the header's own image gives them). Answers the
// refusal when the driver does not read them (old_data_driver.h), else fills `layout`.
std::optional<OldDataRefusal> layOutOldData(const OldFileBytes& bytes,
                                            std::optional<std::uint64_t> recordLength,
                                            OldDataLayout& layout) {
  const auto refuse = [](std::string why) {
    return OldDataRefusal{runtime::InvalidDataFileErr, std::move(why)};
  };
  std::string reason;
  const std::optional<OldHeader> header = readOldHeader(bytes, nullptr, &reason);
  if (!header) return refuse("not a sound old data file: " + reason);
  const OldHeaderRecord& t = header->T;
  if (header->encrypted) return refuse("the records of an encrypted old data file are not read");
  if (t.MEMOLEN != 0) return refuse("the memos of an old data file are not read");
  layout.storedLength = static_cast<std::uint64_t>(t.RECLEN);
  if (recordLength && layout.storedLength - kOldRecordPrefix != *recordLength) {
    return OldDataRefusal{runtime::InvalidRecordDeclarationErr,
                          "the record length differs from the file's"};
  }
  if (t.OFFSET < 0 || static_cast<std::uint64_t>(t.OFFSET) < header->end ||
      static_cast<std::uint64_t>(t.OFFSET) > bytes.size())
    return refuse("the data offset is not after the header and within the file");
  layout.dataOffset = static_cast<std::uint64_t>(t.OFFSET);
  const std::uint64_t dataBytes = bytes.size() - layout.dataOffset;
  if (dataBytes % layout.storedLength != 0)
    return refuse("the file does not end on a whole record");
  layout.deleted.assign(dataBytes / layout.storedLength, false);
  if (t.NRECS < 0 || t.NDELS < 0 ||
      static_cast<std::uint64_t>(t.NRECS) + static_cast<std::uint64_t>(t.NDELS) !=
          layout.deleted.size() ||
      !readDeletedChain(bytes, t, layout))
    return refuse("the record counts do not match the stored records");
  layout.liveRecords = t.NRECS;
  return std::nullopt;
}

class CorvidFile final : public files::DriverFile {
 public:
  explicit CorvidFile(files::FileDeclaration& file) : file_(file) {}

  int open(const std::string& osPath, const files::AccessMode& mode);

  std::int64_t records() override { return layout_.liveRecords; }
  int setPhysical() override {
    next_ = 0;
    return 0;
  }
  int next() override;
  int send(std::string_view) override { return 0; }
  int stream() override { return 0; }
  int flush() override { return 0; }

 private:
  files::FileDeclaration& file_;
  files::ShareLock lock_;
  std::optional<OldDescriptorBytes> bytes_;  // the file's bytes, once locked
  OldDataLayout layout_;
  std::size_t next_ = 0;  // the stored record NEXT looks at first
};

int CorvidFile::open(const std::string& osPath, const files::AccessMode& mode) {
  const int code = lock_.acquire(osPath, mode);
  if (code != 0) return code;
  const OldDescriptorBytes& bytes = bytes_.emplace(lock_.fd());
  if (const auto refusal = layOutOldData(bytes, file_.recordLength(), layout_))
    return files::driverError(refusal->code, refusal->why);
  return 0;
}

int CorvidFile::next() {
  const std::vector<bool>& deleted = layout_.deleted;
  while (next_ < deleted.size() && deleted[next_]) ++next_;
  if (next_ == deleted.size())
    return files::driverError(files::kRecordNotAvailableErr, "at the end of the file");
  std::vector<std::uint8_t> stored(layout_.storedLength);
  if (!bytes_->read(layout_.dataOffset + next_ * layout_.storedLength, stored))
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

bool oldDataRecordsReadable(const std::string& fileName) {
  files::ShareLock lock;
  if (lock.acquire(runtime::toOsPath(fileName), *files::decodeAccessMode(kReadDenyNone)) != 0) {
    runtime::clearError();
    return false;
  }
  OldDataLayout layout;
  return !layOutOldData(OldDescriptorBytes(lock.fd()), std::nullopt, layout);
}

}  // namespace upkeep

#include "platform/files/cask_driver.h"

#include <cassert>
#include <cstdlib>
#include <vector>

#include "platform/files/cask_creation_files.h"
#include "platform/files/cask_cursor.h"
#include "platform/files/cask_file_ops.h"
#include "platform/files/cask_key_image.h"
#include "platform/files/driver_error.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/error_state.h"

namespace files {
namespace {

// How long STREAM waits for other writers before it gives up.
constexpr int kStreamWaitSeconds = 10;

void appendNumber(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

void appendText(std::string& out, std::string_view text) {
  out.append(text);
  out.push_back('\0');
}

// The open table of one FILE.
class CaskFile final : public DriverFile {
 public:
  explicit CaskFile(FileDeclaration& file);

  int open(const CaskName& name, const CaskSchema& schema, const AccessMode& mode) {
    return table_.open(name, schema, mode);
  }

  std::int64_t records() override { return table_.count(); }
  int setPhysical() override;
  int setKey(int key, bool fromBuffer) override;
  int limitKey(int key, int fixed) override;
  int next() override { return afterRead(cursor_.next(current_, record())); }
  int previous() override { return afterRead(cursor_.previous(current_, record())); }
  int readOn(bool forward) override {
    return afterRead(cursor_.readOn(forward, current_, record()));
  }
  int get(int key) override;
  int add() override;
  int append() override;
  int put() override;
  int erase() override;
  int build() override;
  int send(std::string_view command) override;
  int logout(int waitSeconds) override;
  int commit() override;
  int rollback() override;
  int stream() override;
  int flush() override;
  bool inTransaction() const override { return table_.inTransaction(); }
  std::uint64_t readingMark() const override { return cursor_.mark(); }
  bool canGoOn(std::uint64_t mark) override { return cursor_.canGoOn(mark); }
  bool holdReads() override { return table_.holdReads(); }
  void releaseReads() override { table_.releaseReads(); }
  std::int64_t position() const override { return current_; }
  int reget(std::int64_t position) override;

 private:
  unsigned char* record() { return reinterpret_cast<unsigned char*>(file_.record().data()); }
  void imagesOf(const unsigned char* record, std::span<KeyImage> images) const;
  void imageOf(int key, const unsigned char* record, KeyImage& image) const;
  CaskRecord recordToWrite();
  int afterRead(int code);
  // Puts the memo bytes just read into the declaration's memos.
  void storeMemos();
  int afterWrite(int code);

  FileDeclaration& file_;
  CaskTable table_;
  CaskCursor cursor_{table_};
  std::vector<std::vector<KeyComponent>> keyParts_;
  std::vector<KeyImage> images_;
  std::vector<std::string> memoBytes_;
  std::vector<std::string_view> memoViews_;
  std::int64_t current_ = 0;  // the record last read or added; 0 for none
  bool streaming_ = false;
  bool fullBuild_ = false;  // "FULLBUILD=on" was sent
};

CaskFile::CaskFile(FileDeclaration& file)
    : file_(file),
      images_(file.keyCount()),
      memoBytes_(file.memoCount()),
      memoViews_(file.memoCount()) {
  for (const KeyDef& key : file.keys()) {
    std::vector<KeyComponent> parts;
    for (const std::int32_t component : key.components)
      parts.push_back({file.layout().field(std::abs(component)), component < 0});
    keyParts_.push_back(std::move(parts));
  }
}

void CaskFile::imageOf(int key, const unsigned char* record, KeyImage& image) const {
  const KeyDef& def = file_.keys()[static_cast<std::size_t>(key)];
  buildKeyImage(keyParts_[static_cast<std::size_t>(key)], (def.flags & KeyNoCase) != 0,
                (def.flags & KeyOpt) != 0, record, image);
}

void CaskFile::imagesOf(const unsigned char* record, std::span<KeyImage> images) const {
  for (std::size_t k = 0; k < images.size(); ++k) imageOf(static_cast<int>(k), record, images[k]);
}

CaskRecord CaskFile::recordToWrite() {
  const std::span<const Memo> memos = file_.memos();
  for (std::size_t m = 0; m < memos.size(); ++m) memoViews_[m] = memos[m].content();
  return {std::string_view(reinterpret_cast<const char*>(record()), file_.recordLength()), images_,
          memoViews_};
}

int CaskFile::afterRead(int code) {
  if (code != 0 || file_.memoCount() == 0) return code;
  code = table_.readMemos(current_, memoBytes_);
  storeMemos();
  return code;
}

void CaskFile::storeMemos() {
  const std::span<Memo> memos = file_.memos();
  for (std::size_t m = 0; m < memos.size(); ++m)
    memos[m].setBytes(std::string_view(memoBytes_[m]).substr(0, memos[m].size()));
}

int CaskFile::afterWrite(int code) {
  cursor_.refresh();
  return code;
}

int CaskFile::setPhysical() {
  cursor_.startPhysical();
  return 0;
}

int CaskFile::setKey(int key, bool fromBuffer) {
  if (table_.keysStale()) {
    return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  }
  KeyImage& image = images_[static_cast<std::size_t>(key)];
  if (fromBuffer) imageOf(key, record(), image);
  if (fromBuffer && !image.null) {
    cursor_.startKeyAt(key, image.bytes);
  } else {
    cursor_.startKey(key);
  }
  return 0;
}

int CaskFile::limitKey(int key, int fixed) {
  const KeyDef& def = file_.keys()[static_cast<std::size_t>(key)];
  const std::span<const KeyComponent> parts = keyParts_[static_cast<std::size_t>(key)];
  assert(fixed > 0 && static_cast<std::size_t>(fixed) <= parts.size());
  const std::span<const KeyComponent> prefix = parts.first(static_cast<std::size_t>(fixed));
  // An OPT key leaves out the records whose components are all blank or zero.
  KeyImage image;
  buildKeyImage(prefix, (def.flags & KeyNoCase) != 0,
                (def.flags & KeyOpt) != 0 && prefix.size() == parts.size(), record(), image);
  image.null ? cursor_.limitToNone() : cursor_.limitToPrefix(image.bytes);
  return 0;
}

int CaskFile::get(int key) {
  KeyImage& image = images_[static_cast<std::size_t>(key)];
  imageOf(key, record(), image);
  if (image.null) {
    return driverError(runtime::RecordNotFoundErr, "no record has this key");
  }
  // A record of the rows just read in this key's order comes from them.
  const int inHand = cursor_.findInHand(key, image.bytes, current_, record());
  if (inHand != CaskCursor::kNotInHand) return afterRead(inHand);
  return afterRead(table_.find(key, image.bytes, current_, record()));
}

int CaskFile::reget(std::int64_t position) {
  const int code = table_.read(position, record(), memoBytes_);
  if (code != 0) return code;
  current_ = position;
  storeMemos();
  return 0;
}

int CaskFile::add() {
  imagesOf(record(), images_);
  return afterWrite(table_.add(recordToWrite(), current_));
}

int CaskFile::append() {
  imagesOf(record(), images_);
  return afterWrite(table_.append(recordToWrite(), current_));
}

int CaskFile::put() {
  if (const int code = table_.checkWritable()) return code;
  if (current_ == 0) {
    return driverError(kRecordNotAvailableErr, "no record was read");
  }
  imagesOf(record(), images_);
  return afterWrite(table_.put(current_, recordToWrite()));
}

int CaskFile::erase() {
  if (const int code = table_.checkWritable()) return code;
  if (current_ == 0) {
    return driverError(kRecordNotAvailableErr, "no record was read");
  }
  const int code = table_.erase(current_);
  if (code == 0) current_ = 0;
  return afterWrite(code);
}

int CaskFile::build() {
  return afterWrite(table_.build(
      [this](const unsigned char* record, std::span<KeyImage> images) { imagesOf(record, images); },
      fullBuild_));
}

int CaskFile::send(std::string_view command) {
  if (!command.empty() && command.front() == '/') command.remove_prefix(1);
  const std::size_t equals = command.find('=');
  const std::string name = runtime::foldCase(command.substr(0, equals));
  const std::string value =
      equals == std::string_view::npos ? "ON" : runtime::foldCase(command.substr(equals + 1));
  const bool on = value == "ON" || value == "TRUE" || value == "1";
  if (name == "QUICKSCAN") cursor_.setQuickScan(on);
  // FULLBUILD: the BUILDs that follow compute every record's key images again, not only those
  // of records stored without them.
  if (name == "FULLBUILD") fullBuild_ = on;
  // DISKSYNC=off: the commits that follow do not wait for the disk, until DISKSYNC=on (which
  // syncs the file and answers its failure) or the close.
  if (name == "DISKSYNC") return table_.setDiskSync(on);
  // VERIFYVIASELECT (a hint for SQL drivers) needs nothing here; other commands are not this
  // driver's and are ignored.
  return 0;
}

int CaskFile::logout(int waitSeconds) { return table_.begin(waitSeconds); }

int CaskFile::commit() {
  streaming_ = false;
  return afterWrite(table_.commit());
}

int CaskFile::rollback() {
  streaming_ = false;
  table_.rollback();
  return afterWrite(0);
}

int CaskFile::stream() {
  if (table_.inTransaction()) return 0;
  const int code = table_.begin(kStreamWaitSeconds);
  streaming_ = code == 0;
  return code;
}

int CaskFile::flush() {
  if (!streaming_) return 0;
  return commit();
}

class CaskDriver final : public FileDriver {
 public:
  int open(FileDeclaration& file, const std::string& name, const AccessMode& mode,
           std::unique_ptr<DriverFile>& handle) override {
    const CaskName parsed = parseCaskName(name);
    removeCreationLeftovers(parsed.file);
    auto opened = std::make_unique<CaskFile>(file);
    const int code = opened->open(parsed, caskSchemaOf(file), mode);
    if (code == 0 || code == runtime::KeyFileRebuildErr) handle = std::move(opened);
    return code;
  }
  int create(FileDeclaration& file, const std::string& name) override {
    return CaskTable::create(parseCaskName(name), caskSchemaOf(file));
  }
  int remove(FileDeclaration&, const std::string& name) override {
    return removeCaskTable(parseCaskName(name));
  }
  int rename(FileDeclaration&, const std::string& name, const std::string& target) override {
    return renameCaskTable(parseCaskName(name), parseCaskName(target));
  }
  int copy(FileDeclaration&, const std::string& name, const std::string& target) override {
    return copyCaskTable(parseCaskName(name), parseCaskName(target));
  }
};

}  // namespace

FileDriver& caskDriver() {
  static CaskDriver driver;
  return driver;
}

CaskSchema caskSchemaOf(const FileDeclaration& file) {
  CaskSchema schema;
  const std::span<const std::uint8_t> descriptor = file.descriptor();
  schema.layout.assign(descriptor.begin(), descriptor.end());
  for (const Memo& memo : file.memos()) {
    schema.layout.push_back(static_cast<char>(memo.def().kind));
    appendNumber(schema.layout, memo.size());
    appendText(schema.layout, memo.label());
    appendText(schema.layout, memo.def().externalName);
  }
  for (const KeyDef& key : file.keys()) {
    appendNumber(schema.keys, key.flags);
    appendNumber(schema.keys, static_cast<std::uint32_t>(key.components.size()));
    for (const std::int32_t component : key.components)
      appendNumber(schema.keys, static_cast<std::uint32_t>(component));
    appendText(schema.keys, key.label);
    appendText(schema.keys, key.externalName);
    schema.uniqueKeys.push_back(key.unique());
  }
  schema.memoCount = static_cast<int>(file.memoCount());
  schema.recordSize = file.recordLength();
  schema.owner = file.owner();
  return schema;
}

}  // namespace files

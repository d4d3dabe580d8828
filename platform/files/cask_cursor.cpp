#include "platform/files/cask_cursor.h"

#include <algorithm>
#include <cstring>

#include "platform/files/cask_packing.h"
#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"

namespace files {
namespace {

constexpr std::size_t kFirstBatch = 8;
constexpr std::size_t kLargestBatch = 512;
constexpr std::size_t kBatchBytes = 1 << 20;

// Statement variants of one order, by direction and by where the reading stands.
enum Variant : std::size_t { FromStart, FromImage, AfterRow, VariantCount };

std::string cursorSql(const std::string& table, int order, bool forward, Variant variant) {
  const char* direction = forward ? "" : " DESC";
  const char* compare = forward ? ">" : "<";
  if (order == 0) {
    std::string sql = "SELECT id, rec FROM " + table;
    if (variant == AfterRow) sql += std::string(" WHERE id ") + compare + " ?1";
    sql += std::string(" ORDER BY id") + direction + " LIMIT ?" + (variant == AfterRow ? "2" : "1");
    return sql;
  }
  const std::string k = "k" + std::to_string(order);
  std::string sql = "SELECT id, rec, " + k + " FROM " + table + " WHERE ";
  switch (variant) {
    case FromStart: sql += k + " IS NOT NULL"; break;
    case FromImage: sql += k + (forward ? " >= ?1" : " <= ?1"); break;
    default: sql += "(" + k + ", id) " + compare + " (?1, ?2)"; break;
  }
  const char* limit = variant == FromStart ? "1" : variant == FromImage ? "2" : "3";
  return sql + " ORDER BY " + k + direction + ", id" + direction + " LIMIT ?" + limit;
}

}  // namespace

void CaskCursor::startPhysical() {
  stop();
  order_ = 0;
}

void CaskCursor::startKey(int key) {
  stop();
  order_ = key + 1;
}

void CaskCursor::startKeyAt(int key, std::string_view image) {
  stop();
  order_ = key + 1;
  anchor_ = Anchor::AtImage;
  anchorImage_.assign(image);
}

void CaskCursor::stop() {
  order_ = -1;
  anchor_ = Anchor::Unbounded;
  refresh();
  batchSize_ = 0;
}

void CaskCursor::refresh() {
  filled_ = nextRow_ = 0;
  lastBatch_ = false;
}

int CaskCursor::read(bool forward, std::int64_t& id, unsigned char* record) {
  if (order_ < 0) {
    return driverError(kRecordNotAvailableErr, "no sequential reading was started");
  }
  if (order_ > 0 && table_.keysStale()) {
    return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  }
  if (forward != forward_ || nextRow_ == filled_) {
    if (forward == forward_ && lastBatch_ && filled_ > 0) {
      anchor_ = forward ? Anchor::PastEnd : Anchor::BeforeStart;
      refresh();
    }
    const int code = fetch(forward);
    if (code != 0) return code;
  }
  if (nextRow_ == filled_) {
    anchor_ = forward ? Anchor::PastEnd : Anchor::BeforeStart;
    refresh();
    return driverError(kRecordNotAvailableErr, forward ? "at the end" : "at the start");
  }
  return deliver(id, record);
}

int CaskCursor::fetch(bool forward) {
  const bool grow = forward == forward_ && filled_ > 0;
  refresh();
  forward_ = forward;
  if ((anchor_ == Anchor::PastEnd && forward) || (anchor_ == Anchor::BeforeStart && !forward))
    return 0;
  // The batch grows while reading goes on, up to a few hundred records and about 1 MiB.
  const std::size_t recordSize = table_.recordSize();
  const std::size_t largest =
      std::clamp<std::size_t>(kBatchBytes / recordSize, kFirstBatch, kLargestBatch);
  batchSize_ = quickScan_ ? largest : grow ? std::min(batchSize_ * 2, largest) : kFirstBatch;
  Variant variant = FromStart;
  if (anchor_ == Anchor::AtImage) variant = FromImage;
  if (anchor_ == Anchor::OnRow) variant = AfterRow;
  if (order_ == 0 && variant == FromImage) variant = FromStart;
  const std::size_t slot =
      (static_cast<std::size_t>(order_) * 2 + (forward ? 0 : 1)) * VariantCount + variant;
  sqlite::Statement* statement = table_.cursorStatement(
      slot, cursorSql("r" + std::to_string(table_.tableNumber()), order_, forward, variant));
  if (statement == nullptr) return runtime::ERRORCODE();
  int parameter = 1;
  if (variant != FromStart) {
    if (order_ > 0) statement->bindBlob(parameter++, anchorImage_);
    if (variant == AfterRow) statement->bindInt(parameter++, anchorId_);
  }
  statement->bindInt(parameter, static_cast<std::int64_t>(batchSize_));
  if (rows_.size() < batchSize_) rows_.resize(batchSize_);
  if (records_.size() < batchSize_ * recordSize) records_.resize(batchSize_ * recordSize);
  int rc = 0;
  while ((rc = statement->step()) == SQLITE_ROW) {
    Row& row = rows_[filled_];
    row.id = statement->columnInt(0);
    row.damaged =
        unpackBytes(statement->columnBlob(1), &records_[filled_ * recordSize], recordSize) < 0;
    if (order_ > 0) row.image.assign(statement->columnBlob(2));
    ++filled_;
  }
  statement->reset();
  if (rc != SQLITE_DONE) {
    refresh();
    return sqlite::fail(table_.connection(), rc);
  }
  lastBatch_ = filled_ < batchSize_;
  return 0;
}

int CaskCursor::deliver(std::int64_t& id, unsigned char* record) {
  const std::size_t index = nextRow_++;
  const Row& row = rows_[index];
  anchor_ = Anchor::OnRow;
  anchorId_ = row.id;
  if (order_ > 0) anchorImage_.assign(row.image);
  id = row.id;
  if (row.damaged) return driverError(runtime::FileSystemErr, "a stored record is damaged");
  const std::size_t recordSize = table_.recordSize();
  std::memcpy(record, &records_[index * recordSize], recordSize);
  return 0;
}

}  // namespace files

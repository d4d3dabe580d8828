// Sequential reading of a Caskfile table, in record order or in the order of a key, forwards
// and backwards. Records are fetched in batches that grow while reading goes on; between
// batches SQLite holds no lock, so other connections may write. A batch continues after the
// last record read (its key image and record number), so writes between reads are seen as the
// reading goes on; the owner calls refresh() after its own writes.
//
// Every batch is one or two index seeks, whatever the number of records with equal key images:
// the rest of the run of the last record's image (by record number), then the images beyond it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/cask_table.h"

namespace files {

class CaskCursor {
 public:
  explicit CaskCursor(CaskTable& table) : table_(table) {}

  // Starts reading in record order: NEXT from the first record, PREVIOUS from the last.
  void startPhysical();
  // Starts reading in the order of key `key` (0-based): NEXT from its first record, PREVIOUS
  // from its last.
  void startKey(int key);
  // Starts reading in the order of key `key` at `image`: NEXT from the first record whose
  // image is at or after it, PREVIOUS from the last one at or before it.
  void startKeyAt(int key, std::string_view image);
  // Limits the key-order reading started last to the records whose image begins with `prefix`
  // (until the next start); limitToNone() to no record at all.
  void limitToPrefix(std::string_view prefix);
  void limitToNone();

  // Reads the next (previous) record into `record` (the table's record size) and gives its
  // number. 33 at the end (start), or when no reading was started; 46 in key order when the
  // keys are stale; 90 for a damaged record.
  int next(std::int64_t& id, unsigned char* record) { return read(true, id, record); }
  int previous(std::int64_t& id, unsigned char* record) { return read(false, id, record); }

  // Drops the buffered records: the next read sees the table as it is now.
  void refresh();
  // Ends the reading.
  void stop();
  // With quick scan on, every fetch takes the largest batch (for reading a whole file).
  void setQuickScan(bool on) { quickScan_ = on; }

 private:
  enum class Anchor { Unbounded, AtImage, OnRow, PastEnd, BeforeStart };
  enum class Limit { None, Prefix, Nothing };
  struct Row {
    std::int64_t id = 0;
    std::string image;
    std::string packed;  // the stored record bytes, unpacked when the record is read
  };

  int read(bool forward, std::int64_t& id, unsigned char* record);
  int fetch(bool forward);
  // Runs one statement of `variant` (cask_cursor.cpp) that appends up to `count` rows.
  int fetchPart(bool forward, int variant, std::string_view from, std::size_t count);
  int deliver(std::int64_t& id, unsigned char* record);

  CaskTable& table_;
  int order_ = -1;  // -1 none, 0 record order, k + 1 key k
  Anchor anchor_ = Anchor::Unbounded;
  std::string anchorImage_;
  std::int64_t anchorId_ = 0;
  Limit limit_ = Limit::None;
  std::string low_;   // with Limit::Prefix: the first image of the range
  std::string high_;  // and the first image after it
  std::vector<Row> rows_;
  std::size_t filled_ = 0;  // rows_ in use
  std::size_t nextRow_ = 0;
  bool forward_ = true;     // direction of the rows in hand
  bool lastBatch_ = false;  // no rows beyond those in hand
  std::size_t batchSize_ = 0;
  std::size_t delivered_ = 0;  // records read since the reading started
  std::size_t lastRun_ = 0;    // records the reading before took
  bool quickScan_ = false;
};

}  // namespace files

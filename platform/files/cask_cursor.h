// Sequential reading of a Caskfile table, in record order or in the order of a key, forwards
// and backwards. Records are fetched in small batches that grow while reading goes on; between
// batches SQLite holds no lock, so other connections may write. A batch continues after the
// last record read (its key image and record number), so writes between reads are seen as the
// reading goes on; the owner calls refresh() after its own writes.
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
  struct Row {
    std::int64_t id = 0;
    std::string image;
    bool damaged = false;  // the stored bytes did not unpack
  };

  int read(bool forward, std::int64_t& id, unsigned char* record);
  int fetch(bool forward);
  int deliver(std::int64_t& id, unsigned char* record);

  CaskTable& table_;
  int order_ = -1;  // -1 none, 0 record order, k + 1 key k
  Anchor anchor_ = Anchor::Unbounded;
  std::string anchorImage_;
  std::int64_t anchorId_ = 0;
  std::vector<Row> rows_;
  std::vector<unsigned char> records_;  // the rows' records, unpacked, one after the other
  std::size_t filled_ = 0;              // rows_ in use
  std::size_t nextRow_ = 0;
  bool forward_ = true;     // direction of the rows in hand
  bool lastBatch_ = false;  // no rows beyond those in hand
  std::size_t batchSize_ = 0;
  bool quickScan_ = false;
};

}  // namespace files

// Sequential reading of a Caskfile table, in record order or in the order of a key, forwards
// and backwards. Records are fetched in batches that grow while reading goes on; between
// batches SQLite holds no lock, so other connections may write. A batch continues after the
// last record read (its key image and record number), so writes between reads are seen as the
// reading goes on; the owner calls refresh() after its own writes.
//
// Every batch is one or two index seeks, whatever the number of records with equal key images:
// the rest of the run of the last record's image (by record number), then the images beyond it.
//
// The rows of a batch stay in hand when a reading ends. A new reading in the same order and
// direction that starts among them, and a GET by the order's key of one of them, take them from
// there instead of reading the file again, when SQLite's data version shows that no connection
// has changed the file since they were read: they are then exactly what the file would give.
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
  // As next() or previous(), when `record` is as the read just before left it: what that read
  // left as this one would set it is not set again.
  int readOn(bool forward, std::int64_t& id, unsigned char* record) {
    return read(forward, id, record, true);
  }

  // The first record in key `key`'s order (so the lowest record number) whose image is
  // `image`, when the rows in hand show it and the file has not changed since they were read:
  // 0 with its number in `id` and its bytes in `record`, 90 for a damaged record, the error
  // of the look at the file when it fails; kNotInHand when the rows in hand cannot tell (the
  // caller reads the file).
  static constexpr int kNotInHand = -1;
  int findInHand(int key, std::string_view image, std::int64_t& id, unsigned char* record);

  // A number that changes whenever the reading is started, limited, refreshed, stopped or
  // read; canGoOn(mark) answers whether it stands as it stood at `mark`, after the record read
  // then, unlimited, with the file unchanged since the rows in hand were read: the next read
  // then gives what a new start after that record gives.
  std::uint64_t mark() const { return mark_; }
  bool canGoOn(std::uint64_t mark);

  // Drops the buffered records: the next read sees the table as it is now.
  void refresh();
  // Ends the reading.
  void stop();
  // With quick scan on, every fetch takes the largest batch (for reading a whole file).
  void setQuickScan(bool on) { quickScan_ = on; }

 private:
  enum class Anchor { Unbounded, AtImage, OnRow, PastEnd, BeforeStart };
  enum class Limit { None, Prefix, Nothing };
  // Where a batch began, in its direction: at the start (end) of the order, at the first
  // (last) image at or beyond `coverImage`, or beyond a row whose image is `coverImage`.
  enum class Cover { FromStart, FromImage, BeyondRow };
  struct Row {
    std::int64_t id = 0;
    std::string image;
    std::string packed;  // the stored record bytes, unpacked when the record is read
  };
  // The rows of one reading in its direction: those read last, and the run of the order they
  // cover (from where the batch began to the last row, or to the end with `last`). Only a
  // reading without a limit keeps a cover (`order` -1 otherwise).
  struct Hand {
    std::vector<Row> rows;
    std::size_t filled = 0;  // rows in use
    std::size_t bytes = 0;   // the stored bytes and images they hold
    bool forward = true;
    bool last = false;  // no rows beyond them
    int order = -1;
    Cover cover = Cover::FromStart;
    std::string coverImage;
    CaskTable::Seen seen;  // the file as they were read from it
    std::size_t batchSize = 0;
  };

  int read(bool forward, std::int64_t& id, unsigned char* record, bool asLeft = false);
  // A reading just started takes up the kept rows when they show where it starts. Returns 0,
  // or the error of the look at the file.
  int takeUpKept(bool forward);
  // Whether `hand` holds every row of its order at or beyond `image` in its direction, up to
  // its last row (its batch began at or before them).
  static bool covers(const Hand& hand, std::string_view image);
  // The first row of `hand` at or beyond `image` in its direction; `hand.filled` for none.
  static std::size_t firstAtOrBeyond(const Hand& hand, std::string_view image);
  int fetch(bool forward);
  // Runs one statement of `variant` (cask_cursor.cpp) that appends up to `count` rows.
  int fetchPart(bool forward, int variant, std::string_view from, std::size_t count);
  // Unpacks the next row in hand into `record`; `asLeft`: as the row delivered last left it.
  int deliver(std::int64_t& id, unsigned char* record, bool asLeft);
  // Drops the rows of the current reading.
  void dropHand();

  CaskTable& table_;
  int order_ = -1;  // -1 none, 0 record order, k + 1 key k
  Anchor anchor_ = Anchor::Unbounded;
  std::string anchorImage_;
  std::int64_t anchorId_ = 0;
  Limit limit_ = Limit::None;
  std::string low_;   // with Limit::Prefix: the first image of the range
  std::string high_;  // and the first image after it
  Hand hand_;         // the current reading's rows
  Hand kept_;         // the rows of a reading that ended, for a later start or GET
  std::size_t nextRow_ = 0;
  std::size_t delivered_ = 0;  // records read since the reading started
  std::size_t lastRun_ = 0;    // records the reading before took
  bool quickScan_ = false;
  std::uint64_t mark_ = 0;
  std::size_t zeroFrom_ = 0;  // the record delivered last was zero from here on
};

}  // namespace files

#include "platform/files/cask_cursor.h"

#include <algorithm>
#include <utility>

#include "platform/files/cask_packing.h"
#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"

namespace files {
namespace {

constexpr std::size_t kFirstBatch = 8;
constexpr std::size_t kBatchBytes = 1 << 20;

// Statement variants of one order, by where the reading stands. In key order SameImage reads
// the rest of the run of one image by record number and Beyond the images after (before) it;
// SQLite seeks both on the key's index, where a comparison of (image, id) pairs would make it
// walk the run from its start. In record order Beyond reads after (before) a record number.
enum Variant : int { FromStart, FromImage, SameImage, Beyond, VariantCount };

// Parameters: ?1 the image to read from, ?2 the record number, ?3 the far end of a limited
// range, ?4 how many rows.
std::string cursorSql(const std::string& table, int order, bool forward, Variant variant,
                      bool limited) {
  const char* direction = forward ? "" : " DESC";
  if (order == 0) {
    std::string sql = "SELECT id, rec FROM " + table;
    if (variant == Beyond) sql += forward ? " WHERE id > ?2" : " WHERE id < ?2";
    return sql + " ORDER BY id" + direction + " LIMIT ?4";
  }
  const std::string k = "k" + std::to_string(order);
  std::string where;
  const auto add = [&](const std::string& condition) {
    where += (where.empty() ? " WHERE " : " AND ") + condition;
  };
  switch (variant) {
    case FromStart:
      if (limited) add(k + (forward ? " >= ?1" : " < ?1"));
      break;
    case FromImage: add(k + (forward ? " >= ?1" : " <= ?1")); break;
    case SameImage: add(k + " = ?1 AND id " + (forward ? "> ?2" : "< ?2")); break;
    default: add(k + (forward ? " > ?1" : " < ?1")); break;
  }
  if (limited && variant != SameImage) add(k + (forward ? " < ?3" : " >= ?3"));
  if (where.empty()) add(k + " IS NOT NULL");
  const std::string orderBy =
      variant == SameImage ? "id" + std::string(direction) : k + direction + ", id" + direction;
  return "SELECT id, rec, " + k + " FROM " + table + where + " ORDER BY " + orderBy + " LIMIT ?4";
}

// The first image after every image that begins with `prefix`; empty when there is none.
std::string prefixEnd(std::string prefix) {
  while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF) prefix.pop_back();
  if (!prefix.empty()) prefix.back() = static_cast<char>(prefix.back() + 1);
  return prefix;
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

void CaskCursor::limitToPrefix(std::string_view prefix) {
  dropHand();
  low_.assign(prefix);
  high_ = prefixEnd(low_);
  // A prefix of FFh bytes only has no end: reading is not limited then.
  limit_ = high_.empty() ? Limit::None : Limit::Prefix;
}

void CaskCursor::limitToNone() {
  dropHand();
  limit_ = Limit::Nothing;
}

void CaskCursor::stop() {
  lastRun_ = std::exchange(delivered_, 0);
  if (hand_.filled > 0 && hand_.order >= 0) std::swap(kept_, hand_);
  dropHand();
  hand_.batchSize = 0;
  order_ = -1;
  anchor_ = Anchor::Unbounded;
  limit_ = Limit::None;
}

void CaskCursor::dropHand() {
  ++mark_;
  hand_.filled = hand_.bytes = nextRow_ = 0;
  hand_.last = false;
}

void CaskCursor::refresh() {
  dropHand();
  kept_.filled = 0;
}

bool CaskCursor::covers(const Hand& hand, std::string_view image) {
  switch (hand.cover) {
    case Cover::FromStart: return true;
    case Cover::FromImage:
      return hand.forward ? hand.coverImage <= image : hand.coverImage >= image;
    case Cover::BeyondRow: return hand.forward ? hand.coverImage < image : hand.coverImage > image;
  }
  return false;
}

std::size_t CaskCursor::firstAtOrBeyond(const Hand& hand, std::string_view image) {
  const auto end = hand.rows.begin() + static_cast<std::ptrdiff_t>(hand.filled);
  const auto at = std::partition_point(hand.rows.begin(), end, [&](const Row& row) {
    return hand.forward ? row.image < image : row.image > image;
  });
  return static_cast<std::size_t>(at - hand.rows.begin());
}

int CaskCursor::takeUpKept(bool forward) {
  if (kept_.filled == 0 || kept_.order != order_ || kept_.forward != forward ||
      limit_ != Limit::None)
    return 0;
  std::size_t at = 0;
  if (anchor_ == Anchor::AtImage) {
    if (!covers(kept_, anchorImage_)) return 0;
    at = firstAtOrBeyond(kept_, anchorImage_);
    if (at == kept_.filled && !kept_.last) return 0;  // where it starts lies beyond them
  } else if (anchor_ != Anchor::Unbounded || kept_.cover != Cover::FromStart) {
    return 0;
  }
  bool unchanged = false;
  const int code = table_.unchangedSince(kept_.seen, unchanged);
  if (!unchanged) {
    kept_.filled = 0;
    return code;
  }
  std::swap(hand_, kept_);
  kept_.filled = 0;
  nextRow_ = at;
  return 0;
}

int CaskCursor::findInHand(int key, std::string_view image, std::int64_t& id,
                           unsigned char* record) {
  if (table_.keysStale()) return kNotInHand;
  for (Hand* hand : {&hand_, &kept_}) {
    if (hand->filled == 0 || hand->order != key + 1) continue;
    // The lowest record number of the image's run: the run must lie wholly in hand.
    std::size_t at = firstAtOrBeyond(*hand, image);
    if (at == hand->filled || hand->rows[at].image != image) continue;
    if (hand->forward) {
      if (!covers(*hand, image)) continue;
    } else {
      while (at + 1 < hand->filled && hand->rows[at + 1].image == image) ++at;
      if (at + 1 == hand->filled && !hand->last) continue;
    }
    bool unchanged = false;
    if (const int code = table_.unchangedSince(hand->seen, unchanged)) return code;
    if (!unchanged) {
      // The kept rows are never newer than the reading's: neither answers a GET any more.
      kept_.filled = 0;
      if (hand == &hand_) hand_.order = -1;
      return kNotInHand;
    }
    const Row& row = hand->rows[at];
    id = row.id;
    if (unpackBytes(row.packed, record, table_.recordSize()) < 0)
      return driverError(runtime::FileSystemErr, "a stored record is damaged");
    return 0;
  }
  return kNotInHand;
}

bool CaskCursor::canGoOn(std::uint64_t mark) {
  if (mark != mark_ || anchor_ != Anchor::OnRow || limit_ != Limit::None) return false;
  if (order_ > 0 && table_.keysStale()) return false;
  bool unchanged = false;
  if (table_.unchangedSince(hand_.seen, unchanged) != 0) return false;
  if (!unchanged) {
    // The file changed since the reading's rows were read, and so since the kept ones, read
    // before them: neither is looked at again.
    hand_.order = -1;
    kept_.filled = 0;
  }
  return unchanged;
}

int CaskCursor::read(bool forward, std::int64_t& id, unsigned char* record, bool asLeft) {
  ++mark_;
  if (order_ < 0) {
    return driverError(kRecordNotAvailableErr, "no sequential reading was started");
  }
  if (order_ > 0 && table_.keysStale()) {
    return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  }
  if (hand_.filled == 0) {
    if (const int code = takeUpKept(forward)) return code;
  }
  if (forward != hand_.forward || nextRow_ == hand_.filled) {
    if (forward == hand_.forward && hand_.last && hand_.filled > 0) {
      anchor_ = forward ? Anchor::PastEnd : Anchor::BeforeStart;
      dropHand();
    }
    const int code = fetch(forward);
    if (code != 0) return code;
  }
  if (nextRow_ == hand_.filled) {
    anchor_ = forward ? Anchor::PastEnd : Anchor::BeforeStart;
    dropHand();
    return driverError(kRecordNotAvailableErr, forward ? "at the end" : "at the start");
  }
  return deliver(id, record, asLeft);
}

int CaskCursor::fetch(bool forward) {
  const bool grow = forward == hand_.forward && hand_.filled > 0;
  // What a row in hand takes: as the rows read last did, else a whole record.
  const std::size_t rowBytes =
      grow ? std::max<std::size_t>(hand_.bytes / hand_.filled, 1) : table_.recordSize();
  dropHand();
  hand_.forward = forward;
  hand_.order = -1;
  if ((anchor_ == Anchor::PastEnd && forward) || (anchor_ == Anchor::BeforeStart && !forward))
    return 0;
  if (order_ > 0 && limit_ == Limit::Nothing) return 0;
  // The batch grows while reading goes on, up to a few hundred rows and about 1 MiB in hand.
  const std::size_t largest =
      std::clamp<std::size_t>(kBatchBytes / rowBytes, kFirstBatch, kLargestBatch);
  // A reading takes first about as many records as the one before it took (a list reads page
  // after page from a new start), then twice as many each time.
  const std::size_t first = std::clamp(lastRun_ + 1, kFirstBatch, largest);
  std::size_t& batch = hand_.batchSize;
  batch = quickScan_ ? largest : grow ? std::min(batch * 2, largest) : first;
  const bool limited = order_ > 0 && limit_ == Limit::Prefix;
  hand_.cover = Cover::FromStart;
  if (anchor_ == Anchor::OnRow) {
    hand_.cover = Cover::BeyondRow;
    hand_.coverImage = anchorImage_;
  } else if (anchor_ == Anchor::AtImage && order_ > 0) {
    hand_.cover = Cover::FromImage;
    hand_.coverImage = anchorImage_;
  }
  const int code = table_.readBatch(batch, hand_.seen, [&] {
    if (anchor_ == Anchor::OnRow && order_ == 0) return fetchPart(forward, Beyond, {}, batch);
    if (anchor_ == Anchor::OnRow) {
      // A unique key has no other record with the anchor's image.
      int rc = 0;
      if (!table_.keyIsUnique(order_ - 1)) rc = fetchPart(forward, SameImage, anchorImage_, batch);
      if (rc == 0 && hand_.filled < batch)
        rc = fetchPart(forward, Beyond, anchorImage_, batch - hand_.filled);
      return rc;
    }
    if (anchor_ == Anchor::AtImage && order_ > 0) {
      // Within a limited range, from the nearer of the image and the range's end.
      if (limited && forward && anchorImage_ < low_)
        return fetchPart(forward, FromImage, low_, batch);
      if (limited && !forward && anchorImage_ >= high_)
        return fetchPart(forward, FromStart, high_, batch);
      return fetchPart(forward, FromImage, anchorImage_, batch);
    }
    return fetchPart(forward, FromStart, forward ? low_ : high_, batch);
  });
  if (code != 0) return code;
  hand_.last = hand_.filled < batch;
  // Rows read within a limit cover only its range: they are not kept for other readings.
  if (limit_ == Limit::None) hand_.order = order_;
  return 0;
}

int CaskCursor::fetchPart(bool forward, int variant, std::string_view from, std::size_t count) {
  const bool limited = order_ > 0 && limit_ == Limit::Prefix;
  const auto v = static_cast<Variant>(variant);
  const std::size_t slot =
      ((static_cast<std::size_t>(order_) * 2 + (forward ? 0 : 1)) * VariantCount + v) * 2 +
      (limited ? 1 : 0);
  sqlite::Statement* statement = table_.cursorStatement(slot, [&] {
    return cursorSql("r" + std::to_string(table_.tableNumber()), order_, forward, v, limited);
  });
  if (statement == nullptr) return runtime::ERRORCODE();
  if (order_ > 0 && (v != FromStart || limited)) statement->bindBlob(1, from);
  if (v == SameImage || (order_ == 0 && v == Beyond)) statement->bindInt(2, anchorId_);
  if (limited && v != SameImage) statement->bindBlob(3, forward ? high_ : low_);
  statement->bindInt(4, static_cast<std::int64_t>(count));
  std::vector<Row>& rows = hand_.rows;
  if (rows.size() < hand_.filled + count) rows.resize(hand_.filled + count);
  int rc = 0;
  while ((rc = statement->step()) == SQLITE_ROW) {
    Row& row = rows[hand_.filled];
    row.id = statement->columnInt(0);
    row.packed.assign(statement->columnBlob(1));
    if (order_ > 0) {
      row.image.assign(statement->columnBlob(2));
    } else {
      row.image.clear();
    }
    hand_.bytes += row.packed.size() + row.image.size();
    ++hand_.filled;
  }
  statement->reset();
  if (rc != SQLITE_DONE) {
    refresh();
    return sqlite::fail(table_.connection(), rc);
  }
  return 0;
}

int CaskCursor::deliver(std::int64_t& id, unsigned char* record, bool asLeft) {
  const std::size_t index = nextRow_++;
  ++delivered_;
  const Row& row = hand_.rows[index];
  anchor_ = Anchor::OnRow;
  anchorId_ = row.id;
  if (order_ > 0) anchorImage_.assign(row.image);
  id = row.id;
  // A damaged record leaves the buffer blank, as a GET of it does.
  const long long used =
      unpackBytes(row.packed, record, table_.recordSize(), asLeft ? zeroFrom_ : SIZE_MAX);
  zeroFrom_ = used < 0 ? 0 : static_cast<std::size_t>(used);
  if (used < 0) return driverError(runtime::FileSystemErr, "a stored record is damaged");
  return 0;
}

}  // namespace files

#include "classlib/browse_order.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <map>

#include "classlib/integer_key_image.h"
#include "classlib/record_snapshot.h"
#include "classlib/sort_index.h"
#include "classlib/view_manager.h"
#include "platform/files/cask_key_image.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/view_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/window/dialogs.h"

namespace classlib {
namespace {

constexpr int kEnd = files::kRecordNotAvailableErr;
// How many records a long pass reads between two looks at the windows.
constexpr std::size_t kRecordsBetweenDraws = 1000;

// The fields of a record, as bytes side by side, and back.
class FieldBytes {
 public:
  FieldBytes(const files::FileDeclaration& file, std::vector<int> fields)
      : layout_(file.layout()), fields_(std::move(fields)) {
    for (int f : fields_) size_ += layout_.field(f)->totalSize();
  }

  std::size_t size() const { return size_; }
  const std::vector<int>& fields() const { return fields_; }
  std::vector<const runtime::FieldDef*> definitions() const {
    std::vector<const runtime::FieldDef*> out;
    for (int f : fields_) out.push_back(layout_.field(f));
    return out;
  }

  std::string of(const std::byte* record) const {
    std::string out;
    out.reserve(size_);
    for (int f : fields_) {
      const runtime::FieldDef& d = *layout_.field(f);
      out.append(reinterpret_cast<const char*>(record) + d.offset, d.totalSize());
    }
    return out;
  }

  void put(std::string_view bytes, std::byte* record) const {
    assert(bytes.size() >= size_);
    std::size_t at = 0;
    for (int f : fields_) {
      const runtime::FieldDef& d = *layout_.field(f);
      std::memcpy(record + d.offset, bytes.data() + at, d.totalSize());
      at += d.totalSize();
    }
  }

  // Compares the fields of two records in the runtime's order.
  int compare(const std::byte* a, const std::byte* b, bool noCase) const {
    for (const int f : fields_) {
      if (const int c = runtime::compareFieldValues(*layout_.field(f), a, b, noCase)) return c;
    }
    return 0;
  }

 private:
  const runtime::RecordLayout& layout_;
  std::vector<int> fields_;
  std::size_t size_ = 0;
};

std::int32_t readInt32(std::string_view bytes) {
  std::int32_t n = 0;
  std::memcpy(&n, bytes.data(), sizeof n);
  return n;
}

std::string int32Bytes(std::int32_t n) {
  return std::string(reinterpret_cast<char*>(&n), sizeof n);
}

// ---------------------------------------------------------------------------------------------

class KeyOrder : public BrowseOrder {
 public:
  KeyOrder(ViewManager& view, int key)
      : view_(view),
        file_(view.view()->primary()),
        keyNumber_(key),
        key_(*file_.key(key)),
        order_(file_, keyFields(key_)),
        identityKey_(identityKey(file_)),
        identity_(file_, identityKey_ != 0 && identityKey_ != key
                             ? keyFields(*file_.key(identityKey_))
                             : std::vector<int>{}),
        ordinals_(identityKey_ == 0),
        noCase_((key_.flags & files::KeyNoCase) != 0),
        scratchA_(file_.recordLength()),
        scratchB_(file_.recordLength()) {}

  void start() override {
    set(false);
    pending_ = Pending::None;
    haveLast_ = false;
  }
  void startAt(std::string_view position) override { expect(Pending::At, position); }
  void startAfter(std::string_view position) override { expect(Pending::After, position); }
  void startAtBuffer() override {
    set(true);
    pending_ = Pending::None;
    haveLast_ = false;
  }

  int next() override {
    if (pending_ == Pending::After && goesOnAfterTarget()) {
      pending_ = Pending::None;
      return step(true);
    }
    return pending_ != Pending::None ? resolve(true) : step(true);
  }
  int previous() override { return pending_ != Pending::None ? resolve(false) : step(false); }

  std::string position() override {
    std::string position = positionOfRecord();
    if (fresh_) lastRead_ = position;  // the place of the record just read
    fresh_ = false;
    return position;
  }

  std::string positionOfBuffer() override {
    if (!ordinals_) return positionOfRecord();
    // Which of the records with these key values is it? The last that equals it byte for byte.
    RecordSnapshot wanted;
    wanted.take(file_);
    const std::string k = order_.of(record());
    std::int32_t found = 0;
    set(true);
    for (std::int32_t n = 0;; ++n) {
      view_.next();
      if (runtime::ERRORCODE() != 0 || !sameKey(k)) break;
      if (wanted.same(file_)) found = n;
    }
    wanted.restore(file_);
    haveLast_ = false;
    return k + int32Bytes(found);
  }

  int fetch(std::string_view position) override {
    pending_ = Pending::None;
    haveLast_ = false;
    fresh_ = false;  // the buffer gets another record; the reading stays where it stood
    if (ordinals_) {
      const std::int32_t wanted = readInt32(position.substr(order_.size()));
      order_.put(position, record());
      set(true);
      for (std::int32_t n = 0; n <= wanted; ++n) {
        view_.next();
        if (runtime::ERRORCODE() != 0 || !sameKey(position)) {
          runtime::setError(runtime::RecordNotFoundErr);
          return runtime::RecordNotFoundErr;
        }
      }
      return 0;
    }
    order_.put(position, record());
    if (identity_.size() == 0) {
      files::GET(file_, key_);
    } else {
      identity_.put(position.substr(order_.size()), record());
      files::GET(file_, *file_.key(identityKey_));
    }
    return runtime::ERRORCODE();
  }

  std::size_t positionSize() const override {
    return order_.size() + (ordinals_ ? sizeof(std::int32_t) : identity_.size());
  }
  int firstField() const override { return order_.fields().front(); }

 private:
  enum class Pending { None, At, After };

  std::byte* record() { return file_.record().data(); }

  // Starts the view in this order: at its first (last) record, or at the buffer's key values.
  void set(bool atBuffer) {
    view_.setOrder(keyNumber_);
    atBuffer ? view_.resetAtBuffer() : view_.reset();
  }

  void expect(Pending kind, std::string_view position) {
    pending_ = kind;
    target_.assign(position);
    haveLast_ = false;
  }

  std::string positionOfRecord() {
    return order_.of(record()) + (ordinals_ ? int32Bytes(ordinal_) : identity_.of(record()));
  }

  // Whether reading after the target can go on from where the view stands instead of finding
  // the target again: the record read last, forwards, was the target, and the view's reading
  // stands as it stood then, over a file unchanged since.
  bool goesOnAfterTarget() {
    return !ordinals_ && lastForward_ && !lastRead_.empty() && target_ == lastRead_ &&
           view_.canGoOn(readMark_);
  }

  // True when the record buffer's order-key values equal those at the front of `bytes`, by the
  // key's rules (letter case, trailing spaces). The comparison reads only the key's fields, so
  // only those are put into the scratch record.
  bool sameKey(std::string_view bytes) {
    order_.put(bytes, scratchA_.data());
    return order_.compare(scratchA_.data(), record(), noCase_) == 0;
  }

  // True when the buffer holds the record of `target_` (a file with a unique key).
  bool sameRecord() {
    if (identity_.size() == 0) return true;  // the order key is unique itself
    identity_.put(std::string_view(target_).substr(order_.size()), scratchB_.data());
    const bool noCase = (file_.key(identityKey_)->flags & files::KeyNoCase) != 0;
    return identity_.compare(scratchB_.data(), record(), noCase) == 0;
  }

  int read(bool forward) {
    forward ? view_.next() : view_.previous();
    const int code = runtime::ERRORCODE();
    lastRead_.clear();
    fresh_ = code == 0;
    lastForward_ = forward;
    readMark_ = view_.readingMark();
    return code;
  }

  int step(bool forward) {
    if (const int code = read(forward); code != 0) return code;
    track(forward);
    return 0;
  }

  // Keeps the ordinal of the record just read (files without a unique key).
  void track(bool forward) {
    if (!ordinals_) return;
    const bool sameRun = haveLast_ && sameKey(lastKey_);
    if (forward) {
      ordinal_ = sameRun ? ordinal_ + 1 : 0;
    } else {
      ordinal_ = sameRun ? ordinal_ - 1 : runLength() - 1;
    }
    lastKey_ = order_.of(record());
    haveLast_ = true;
  }

  // The number of records with the buffer's order-key values. The buffer holds the last of
  // them, just read backwards; reading backwards goes on from it afterwards.
  std::int32_t runLength() {
    RecordSnapshot last;
    last.take(file_);
    const std::string k = order_.of(record());
    std::int32_t count = 0;
    set(true);
    for (view_.next(); runtime::ERRORCODE() == 0 && sameKey(k); view_.next()) ++count;
    last.restore(file_);
    set(true);
    view_.previous();
    return std::max<std::int32_t>(count, 1);
  }

  // The first read after startAt or startAfter: finds the target's record among those with its
  // key values.
  int resolve(bool forward) {
    const Pending kind = pending_;
    pending_ = Pending::None;
    order_.put(target_, record());
    set(true);
    if (runtime::ERRORCODE() != 0) return runtime::ERRORCODE();
    if (ordinals_) return resolveOrdinal(kind, forward);
    for (int seen = 0;; ++seen) {
      if (const int code = read(forward); code != 0) return code;
      if (!sameKey(target_)) {
        if (seen == 0) return 0;  // no record has these values: this one follows where it stood
        // The record is gone from among others with its key values: read them all again.
        order_.put(target_, record());
        set(true);
        return read(forward);
      }
      if (!sameRecord()) continue;
      const bool deliverThis = forward ? kind == Pending::At : kind == Pending::After;
      return deliverThis ? 0 : read(forward);
    }
  }

  int resolveOrdinal(Pending kind, bool forward) {
    const std::int32_t target = readInt32(std::string_view(target_).substr(order_.size()));
    if (forward) {
      const std::int32_t wanted = kind == Pending::At ? target : target + 1;
      for (std::int32_t n = 0;; ++n) {
        if (const int code = read(true); code != 0) return code;
        if (!sameKey(target_) || n == wanted) {
          ordinal_ = sameKey(target_) ? n : 0;
          lastKey_ = order_.of(record());
          haveLast_ = true;
          return 0;
        }
      }
    }
    // Backwards: count the records with the target's values, then step back to the wanted one.
    std::int32_t count = 0;
    for (view_.next(); runtime::ERRORCODE() == 0 && sameKey(target_); view_.next()) {
      ++count;
    }
    const std::int32_t wanted = std::min(kind == Pending::At ? target - 1 : target, count - 1);
    order_.put(target_, record());
    set(true);
    if (wanted < 0) {
      // The record before all of them.
      for (std::int32_t n = 0; n < count; ++n) {
        if (const int code = read(false); code != 0) return code;
      }
      return step(false);
    }
    for (std::int32_t n = count - 1; n >= wanted; --n) {
      if (const int code = read(false); code != 0) return code;
    }
    ordinal_ = wanted;
    lastKey_ = order_.of(record());
    haveLast_ = true;
    return 0;
  }

  ViewManager& view_;
  files::FileDeclaration& file_;
  int keyNumber_;
  const files::KeyDef& key_;
  FieldBytes order_;
  int identityKey_;
  FieldBytes identity_;  // no fields when the order key is the unique key
  bool ordinals_;
  bool noCase_;
  std::vector<std::byte> scratchA_;
  std::vector<std::byte> scratchB_;
  Pending pending_ = Pending::None;
  std::string target_;
  bool haveLast_ = false;
  std::string lastKey_;
  std::int32_t ordinal_ = 0;
  // The record read last: its place (once position() gave it), its direction and the view's
  // reading mark after it.
  std::string lastRead_;
  bool fresh_ = false;  // the buffer holds it and position() has not given its place yet
  bool lastForward_ = false;
  std::uint64_t readMark_ = 0;
};

// ---------------------------------------------------------------------------------------------

class SortedOrder : public BrowseOrder {
 public:
  static constexpr char kMovedMark = '\x01';

  SortedOrder(ViewManager& view, const std::vector<int>& fields, int identity,
              const SortedOrder* before)
      : view_(view),
        file_(view.view()->primary()),
        identityNumber_(identity),
        identityKey_(*file_.key(identity)),
        sort_(file_, unsigned_(fields)),
        identity_(file_, keyFields(identityKey_)),
        identityNoCase_((identityKey_.flags & files::KeyNoCase) != 0),
        identityFields_(identity_.definitions()),
        identityInImage_(readableFromImage(identityFields_)),
        scratch_(file_.recordLength()) {
    for (int f : fields) descending_.push_back(f < 0);
    // The rows of the list still hold the places the order before gave.
    if (before != nullptr && before->sort_.fields() == sort_.fields() &&
        before->descending_ == descending_) {
      moved_ = before->moved_;
    }
    build();
  }

  void start() override {
    forward_ = 0;
    backward_ = index_.size();
  }
  void startAt(std::string_view position) override { place(index_.lowerBound(imageAt(position))); }
  void startAfter(std::string_view position) override {
    const std::string image = imageAt(position);
    std::size_t k = index_.lowerBound(image);
    if (k < index_.size() && index_.image(k) == image) ++k;
    place(k);
  }
  void startAtBuffer() override {
    std::string image;
    appendSortImage(image, recordBytes(file_.record().data()));
    place(index_.lowerBound(image));
  }

  int next() override {
    for (; forward_ < index_.size(); ++forward_) {
      if (const int code = readEntry(forward_); code != runtime::RecordNotFoundErr) {
        if (code == 0) place(forward_ + 1, forward_);
        return code;
      }
    }
    runtime::setError(kEnd);
    return kEnd;
  }

  int previous() override {
    for (; backward_ > 0; --backward_) {
      const std::size_t i = backward_ - 1;
      if (const int code = readEntry(i); code != runtime::RecordNotFoundErr) {
        if (code == 0) place(i + 1, i);
        return code;
      }
    }
    runtime::setError(kEnd);
    return kEnd;
  }

  // The sort fields as the record read last has them and its unique key as the index has it.
  // When another connection changed the record since the index was made so that it sorts
  // elsewhere now, the place ends in a mark and is remembered with the image the index has for
  // it: reading from it goes on where the record stands in the index, and the place is not that
  // of the record as it now is (positionOfBuffer).
  std::string position() override {
    std::string position = sort_.of(file_.record().data()) + identityAt(last_);
    if (imageOf(file_.record().data()) != index_.image(last_)) {
      position += kMovedMark;
      moved_[position] = index_.image(last_);
    }
    return position;
  }
  std::string positionOfBuffer() override {
    return sort_.of(file_.record().data()) + identity_.of(file_.record().data());
  }
  int fetch(std::string_view position) override {
    identity_.put(position.substr(sort_.size()), file_.record().data());
    files::GET(file_, identityKey_);
    return runtime::ERRORCODE();
  }
  std::size_t positionSize() const override {
    return sort_.size() + identity_.size() + sizeof kMovedMark;
  }
  int firstField() const override { return sort_.fields().front(); }

 private:
  static std::vector<int> unsigned_(const std::vector<int>& fields) {
    std::vector<int> out;
    for (int f : fields) out.push_back(std::abs(f));
    return out;
  }

  static const unsigned char* recordBytes(const std::byte* record) {
    return reinterpret_cast<const unsigned char*>(record);
  }

  // next() goes on at entry `next`; previous() at the entry before `read`, the one just read
  // (without one, before `next`).
  void place(std::size_t next, std::size_t read = SIZE_MAX) {
    forward_ = next;
    backward_ = read == SIZE_MAX ? next : read;
    if (read != SIZE_MAX) last_ = read;
  }

  // The bytes of the unique key of entry `i`.
  std::string identityAt(std::size_t i) const {
    if (!identityInImage_) return std::string(index_.identity(i));
    const std::string_view image = index_.image(i);
    return fieldsFromImage(identityFields_, image.substr(image.size() - identity_.size()));
  }

  int readEntry(std::size_t i) {
    identity_.put(identityAt(i), file_.record().data());
    files::GET(file_, identityKey_);
    return runtime::ERRORCODE();
  }

  // One pass over the view in the order of the unique key, keeping each record's image and
  // unique key only, then the sort of the images.
  void build() {
    RecordSnapshot saved;
    saved.take(file_);
    view_.setOrder(identityNumber_);
    std::size_t read = 0;
    std::string image;
    for (int code = view_.reset() == 0 ? view_.next() : runtime::ERRORCODE(); code == 0;
         code = view_.next()) {
      const std::byte* record = file_.record().data();
      image.clear();
      appendImage(image, recordBytes(record));
      index_.add(image, identityInImage_ ? std::string() : identity_.of(record));
      if (++read % kRecordsBetweenDraws == 0) window::PendingEvents();
    }
    saved.restore(file_);
    index_.sort();
    runtime::clearError();
  }

  // The key image of the sort fields of `record`: descending ones inverted, texts folded.
  void appendSortImage(std::string& image, const unsigned char* record) const {
    for (std::size_t i = 0; i < sort_.fields().size(); ++i) {
      const files::KeyComponent component{file_.layout().field(sort_.fields()[i]), descending_[i]};
      files::appendKeyComponent(image, component, record, true);
    }
  }

  // The image of the sort fields and then the unique key of `record`, whose byte order is
  // the order of the records.
  void appendImage(std::string& image, const unsigned char* record) const {
    appendSortImage(image, record);
    for (const int field : identity_.fields()) {
      files::appendKeyComponent(image, {file_.layout().field(field), false}, record,
                                identityNoCase_);
    }
  }

  std::string imageOf(const std::byte* record) const {
    std::string image;
    appendImage(image, recordBytes(record));
    return image;
  }

  // The image of the record at `position`: the index's, when the position was given for a
  // record that had moved, else made from the position's fields.
  std::string imageAt(std::string_view position) {
    if (const auto moved = moved_.find(position); moved != moved_.end()) return moved->second;
    sort_.put(position, scratch_.data());
    identity_.put(position.substr(sort_.size()), scratch_.data());
    return imageOf(scratch_.data());
  }

  ViewManager& view_;
  files::FileDeclaration& file_;
  int identityNumber_;
  const files::KeyDef& identityKey_;
  FieldBytes sort_;
  FieldBytes identity_;
  bool identityNoCase_;
  std::vector<const runtime::FieldDef*> identityFields_;
  bool identityInImage_;  // the index keeps the unique key's image only (integer_key_image.h)
  std::vector<bool> descending_;
  std::vector<std::byte> scratch_;
  SortIndex index_;
  std::map<std::string, std::string, std::less<>> moved_;  // positions of moved records
  std::size_t forward_ = 0;                                // the entry next() reads first
  std::size_t backward_ = 0;  // previous() reads the entry before this one
  std::size_t last_ = 0;      // the entry read last
};

}  // namespace

std::vector<int> keyFields(const files::KeyDef& key) {
  std::vector<int> out;
  for (std::int32_t c : key.components) out.push_back(std::abs(c));
  return out;
}

int identityKey(const files::FileDeclaration& file) {
  int firstUnique = 0;
  for (std::size_t i = 0; i < file.keyCount(); ++i) {
    const files::KeyDef& k = file.keys()[i];
    if (!k.unique()) continue;
    if (k.flags & files::KeyPrimary) return static_cast<int>(i + 1);
    if (firstUnique == 0) firstUnique = static_cast<int>(i + 1);
  }
  return firstUnique;
}

std::unique_ptr<BrowseOrder> makeKeyOrder(ViewManager& view, int key) {
  assert(view.view() && view.view()->primary().key(key) && "a key of the view's file");
  return std::make_unique<KeyOrder>(view, key);
}

std::unique_ptr<BrowseOrder> makeSortedOrder(ViewManager& view, std::vector<int> fields,
                                             int identity, const BrowseOrder* before) {
  assert(view.view() && !fields.empty());
  const files::KeyDef* key = view.view()->primary().key(identity);
  assert(key && key->unique());
  (void)key;
  return std::make_unique<SortedOrder>(view, fields, identity,
                                       dynamic_cast<const SortedOrder*>(before));
}

}  // namespace classlib

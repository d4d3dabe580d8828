// Queues: in-memory lists of entries of one record layout with one record buffer. Statements
// copy between the buffer and the entries: ADD appends the buffer, GET fetches an entry into
// it, PUT writes it back. Errors go to the calling thread's error state: 8 out of memory,
// 30 no such entry, 75 a bad field number; every statement that succeeds clears it.
//
// Queue<Record> is the buffer itself, so `UF.PREFIX` reads the buffer of the queue `UF`.
// A process-wide queue is a plain object; a queue of each thread is declared `thread_local` at
// namespace scope, which gives every thread its own, made on its first use in the thread and
// freed when the thread ends (a block-scope one would be made only in the threads that pass
// its declaration). A queue has no lock of its own.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "platform/runtime/record_layout.h"

namespace runtime {

// A queue whose layout is known at run time only; lists read their rows through it.
// Key fields are signed 1-based field numbers of the layout, negative for descending order,
// at most 16 of them. The layout must outlive the queue.
class QueueBase {
 public:
  static constexpr std::size_t kMaxKeyFields = 16;

  // A queue with a buffer of its own, blank.
  explicit QueueBase(const RecordLayout& layout);
  virtual ~QueueBase();
  QueueBase(const QueueBase&) = delete;
  QueueBase& operator=(const QueueBase&) = delete;

  const RecordLayout& layout() const { return layout_; }
  // The record buffer's bytes.
  std::span<std::byte> bufferBytes() { return {buffer_, layout_.recordSize()}; }
  std::span<const std::byte> bufferBytes() const { return {buffer_, layout_.recordSize()}; }
  // The bytes of entry n (1-based); empty beyond the end. Sets no error.
  std::span<const std::byte> row(std::size_t n) const;

  // The number of entries.
  std::size_t RECORDS() const { return entries_.size(); }
  // The position of the entry last fetched or added; 0 when there is none.
  std::size_t POINTER() const { return pointer_; }

  // Appends the buffer as a new entry. Error 8.
  void ADD();
  // Inserts the buffer in the order of `keys`, after the entries equal to it. Errors 8, 75.
  void ADD(std::span<const int> keys);
  void ADD(std::initializer_list<int> keys) { ADD(std::span<const int>(keys)); }
  // Appends `entry` (bytes of the layout's record size) as a new entry, as ADD appends the
  // buffer, without going through the buffer, which keeps its content. Error 8.
  void append(std::span<const std::byte> entry);
  // Copies entry n (1-based) into the buffer. Error 30 when there is no entry n.
  void GET(std::size_t n);
  // Fetches the first entry whose `keys` fields equal those of the buffer. Errors 30, 75.
  void GET(std::span<const int> keys);
  void GET(std::initializer_list<int> keys) { GET(std::span<const int>(keys)); }
  // Writes the buffer into the entry last fetched or added. Error 30 when there is none.
  void PUT();
  // Removes the entry last fetched or added. Error 30 when there is none.
  void DELETE();
  // Removes every entry; the buffer keeps its content.
  void FREE();
  // Sorts the entries by `keys`; entries with equal keys keep their order. Error 75.
  void SORT(std::span<const int> keys);
  void SORT(std::initializer_list<int> keys) { SORT(std::span<const int>(keys)); }
  // Blanks the buffer.
  void CLEAR();

  // The keys the entries are known to be sorted by (after SORT or ADD by key, and kept while
  // every change since left them in that order); empty when none is known. A GET by keys
  // that begin this order searches by halving instead of entry by entry.
  std::span<const int> knownOrder() const { return order_; }

 protected:
  // A queue over a buffer that the derived queue owns.
  QueueBase(const RecordLayout& layout, std::byte* buffer);

 private:
  using Entry = std::unique_ptr<std::byte[]>;

  bool validKeys(std::span<const int> keys) const;
  int compare(std::span<const int> keys, const std::byte* a, const std::byte* b) const;
  std::size_t firstAbove(std::span<const int> keys) const;
  std::size_t find(std::span<const int> keys) const;
  // Inserts a new entry holding `bytes` (the buffer when null).
  void insert(std::size_t index, std::span<const int> keys, const std::byte* bytes = nullptr);
  void keepOrderAround(std::size_t index);
  Entry newEntry(const std::byte* bytes);

  const RecordLayout& layout_;
  std::unique_ptr<std::byte[]> ownBuffer_;
  std::byte* buffer_;
  std::vector<Entry> entries_;
  // Entries FREE let go of, for the next ones added; at most kSpareBytes of them.
  static constexpr std::size_t kSpareBytes = 64 * 1024;
  std::vector<Entry> spare_;
  std::size_t pointer_ = 0;
  std::vector<int> order_;
};

// A queue of `Record` entries; the queue is its own buffer, `q.FIELD` its fields. Record is a
// packed struct of field types with `static const RecordLayout& layout()`.
template <class Record>
class Queue : public Record, public QueueBase {
  static_assert(std::is_trivially_copyable_v<Record> && std::is_standard_layout_v<Record>);
  // Fields have alignment 1, so a record has no padding that its base place could share.
  static_assert(alignof(Record) == 1);

 public:
  Queue()
      : Record(),
        QueueBase(Record::layout(), reinterpret_cast<std::byte*>(static_cast<Record*>(this))) {
    assert(Record::layout().recordSize() == sizeof(Record));
  }

  using QueueBase::layout;

  // The buffer as a record.
  Record& buffer() { return *this; }
  const Record& buffer() const { return *this; }

  // The number of the field that is `member` of this queue's buffer: q.fieldNumber(q.NAME).
  template <class T>
  int fieldNumber(const T& member) const {
    const auto* at = reinterpret_cast<const std::byte*>(&member);
    const auto offset = static_cast<std::uint32_t>(at - bufferBytes().data());
    return layout().numberAt(offset, sizeof(T));
  }
};

}  // namespace runtime

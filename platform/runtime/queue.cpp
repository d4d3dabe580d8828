#include "platform/runtime/queue.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/runtime/error_state.h"

namespace runtime {

QueueBase::QueueBase(const RecordLayout& layout)
    : layout_(layout), ownBuffer_(std::make_unique<std::byte[]>(layout.recordSize())) {
  buffer_ = ownBuffer_.get();
  blankRecord(layout_, buffer_);
}

QueueBase::QueueBase(const RecordLayout& layout, std::byte* buffer)
    : layout_(layout), buffer_(buffer) {}

QueueBase::~QueueBase() = default;

std::span<const std::byte> QueueBase::row(std::size_t n) const {
  if (n < 1 || n > entries_.size()) return {};
  return {entries_[n - 1].get(), layout_.recordSize()};
}

bool QueueBase::validKeys(std::span<const int> keys) const {
  if (keys.empty() || keys.size() > kMaxKeyFields) return false;
  return std::all_of(keys.begin(), keys.end(),
                     [&](int k) { return k != 0 && layout_.field(std::abs(k)) != nullptr; });
}

int QueueBase::compare(std::span<const int> keys, const std::byte* a, const std::byte* b) const {
  for (const int k : keys) {
    const int c = compareFieldValues(*layout_.field(std::abs(k)), a, b, false);
    if (c != 0) return k < 0 ? -c : c;
  }
  return 0;
}

QueueBase::Entry QueueBase::newEntry(const std::byte* bytes) {
  Entry entry;
  if (spare_.empty()) {
    entry.reset(new std::byte[layout_.recordSize()]);
  } else {
    entry = std::move(spare_.back());
    spare_.pop_back();
  }
  std::memcpy(entry.get(), bytes, layout_.recordSize());
  return entry;
}

// The index before which the buffer goes in the order of `keys`: after every entry that is not
// above it. Halving when the entries are in that order, else the first entry above it.
std::size_t QueueBase::firstAbove(std::span<const int> keys) const {
  const auto above = [&](const Entry& e) { return compare(keys, e.get(), buffer_) > 0; };
  if (std::ranges::equal(order_, keys)) {
    const auto it = std::partition_point(entries_.begin(), entries_.end(),
                                         [&](const Entry& e) { return !above(e); });
    return static_cast<std::size_t>(it - entries_.begin());
  }
  return static_cast<std::size_t>(std::find_if(entries_.begin(), entries_.end(), above) -
                                  entries_.begin());
}

// The index of the first entry equal to the buffer on `keys`; entries_.size() when none is.
std::size_t QueueBase::find(std::span<const int> keys) const {
  const bool ordered = keys.size() <= order_.size() &&
                       std::equal(keys.begin(), keys.end(), order_.begin(),
                                  [](int k, int o) { return std::abs(k) == std::abs(o); });
  if (ordered) {
    // Equal entries are together in the known order; take its directions for the halving.
    const std::span<const int> prefix(order_.data(), keys.size());
    const auto it = std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& e) {
      return compare(prefix, e.get(), buffer_) < 0;
    });
    if (it != entries_.end() && compare(prefix, it->get(), buffer_) == 0)
      return static_cast<std::size_t>(it - entries_.begin());
    return entries_.size();
  }
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return compare(keys, e.get(), buffer_) == 0;
  });
  return static_cast<std::size_t>(it - entries_.begin());
}

// Forgets the known order when the entry at `index` no longer sits between its neighbours.
void QueueBase::keepOrderAround(std::size_t index) {
  if (order_.empty()) return;
  const std::byte* entry = entries_[index].get();
  const bool afterPrevious = index == 0 || compare(order_, entries_[index - 1].get(), entry) <= 0;
  const bool beforeNext =
      index + 1 == entries_.size() || compare(order_, entry, entries_[index + 1].get()) <= 0;
  if (!afterPrevious || !beforeNext) order_.clear();
}

void QueueBase::insert(std::size_t index, std::span<const int> keys, const std::byte* bytes) {
  try {
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index),
                    newEntry(bytes ? bytes : buffer_));
  } catch (const std::bad_alloc&) {
    setError(OutOfMemoryErr);
    return;
  }
  if (entries_.size() == 1 && !keys.empty()) order_.assign(keys.begin(), keys.end());
  keepOrderAround(index);
  pointer_ = index + 1;
  clearError();
}

void QueueBase::ADD() { insert(entries_.size(), {}); }

void QueueBase::append(std::span<const std::byte> entry) {
  assert(entry.size() == layout_.recordSize() && "an entry of the queue's layout");
  insert(entries_.size(), {}, entry.data());
}

void QueueBase::ADD(std::span<const int> keys) {
  if (!validKeys(keys)) return setError(BadFieldNumberErr);
  insert(firstAbove(keys), keys);
}

void QueueBase::GET(std::size_t n) {
  if (n < 1 || n > entries_.size()) return setError(EntryNotFoundErr);
  std::memcpy(buffer_, entries_[n - 1].get(), layout_.recordSize());
  pointer_ = n;
  clearError();
}

void QueueBase::GET(std::span<const int> keys) {
  if (!validKeys(keys)) return setError(BadFieldNumberErr);
  const std::size_t index = find(keys);
  if (index == entries_.size()) return setError(EntryNotFoundErr);
  GET(index + 1);
}

void QueueBase::PUT() {
  if (pointer_ == 0) return setError(EntryNotFoundErr);
  std::memcpy(entries_[pointer_ - 1].get(), buffer_, layout_.recordSize());
  keepOrderAround(pointer_ - 1);
  clearError();
}

void QueueBase::DELETE() {
  if (pointer_ == 0) return setError(EntryNotFoundErr);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pointer_ - 1));
  pointer_ = 0;
  clearError();
}

void QueueBase::FREE() {
  // A queue that is emptied and filled again (a list's page) takes its entries' memory back.
  const std::size_t keep = kSpareBytes / std::max<std::size_t>(layout_.recordSize(), 1);
  for (Entry& entry : entries_) {
    if (spare_.size() >= keep) break;
    spare_.push_back(std::move(entry));
  }
  entries_.clear();
  order_.clear();
  pointer_ = 0;
  clearError();
}

void QueueBase::SORT(std::span<const int> keys) {
  if (!validKeys(keys)) return setError(BadFieldNumberErr);
  std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) {
    return compare(keys, a.get(), b.get()) < 0;
  });
  order_.assign(keys.begin(), keys.end());
  pointer_ = 0;
  clearError();
}

void QueueBase::CLEAR() {
  blankRecord(layout_, buffer_);
  clearError();
}

}  // namespace runtime

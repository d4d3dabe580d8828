// The orders in which a browse reads its file, a page at a time, and the places ("positions")
// of the records it shows, from which it reads on when the list scrolls. A position is kept in
// the row of the list as bytes; it stays valid while the record is unchanged.
//
// Both read the file through the browse's view (ViewManager), so the view's filter passes over
// the records that do not belong in the list.
//
// KeyOrder reads in the order of one of the file's keys. A record is known by the values of the
// order key plus, when the file has a unique key, that key's values; in a file without one, by
// how many records with the same order-key values come before it. When the record of a
// position is gone, reading goes on from where it stood.
//
// SortedOrder reads in the order of any fields: it makes a sorted index of the records the view
// passes, in one pass (letting the windows draw meanwhile), keeping of each only the key image
// of its sort fields and unique key and that key's fields (SortIndex), and reads each record
// through the file's unique key. A record another connection changed since is read as it now
// is at the place the index has for it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace files {
class FileDeclaration;
struct KeyDef;
}  // namespace files

namespace classlib {

class ViewManager;

class BrowseOrder {
 public:
  virtual ~BrowseOrder() = default;

  // Starts reading: next() from the first record, previous() from the last.
  virtual void start() = 0;
  // Starts at the record at `position`: next() reads it (or, when it is gone, the record that
  // follows where it stood), previous() the one before it.
  virtual void startAt(std::string_view position) = 0;
  // Starts after the record at `position`: next() reads the one after it.
  virtual void startAfter(std::string_view position) = 0;
  // Starts at the values the order's fields have in the record buffer: next() reads the first
  // record at or after them.
  virtual void startAtBuffer() = 0;
  // Reads the next (previous) record into the record buffer and memos. Answers 0 or the
  // runtime's error (33 at the end).
  virtual int next() = 0;
  virtual int previous() = 0;
  // The position of the record last read by next() or previous().
  virtual std::string position() = 0;
  // The position of the record now in the buffer (one just written, say). The buffer and memos
  // are left as they are.
  virtual std::string positionOfBuffer() = 0;
  // Reads the record at `position` into the buffer. Answers 0 or the error (35 when gone).
  virtual int fetch(std::string_view position) = 0;
  // The number of bytes a position takes.
  virtual std::size_t positionSize() const = 0;
  // The order's first field (1-based number in the record), which locators and thumbs use.
  virtual int firstField() const = 0;
};

// The field numbers of a key's components, signs dropped.
std::vector<int> keyFields(const files::KeyDef& key);

// The file's primary key, else its first unique key; 0 when it has none.
int identityKey(const files::FileDeclaration& file);

// Reads `view` (attached, open) in the order of key `key` (1-based) of its file.
std::unique_ptr<BrowseOrder> makeKeyOrder(ViewManager& view, int key);

// Reads `view` sorted by `fields` (1-based, negative for descending; texts without regard to
// letter case), then by its file's unique key `identity`. Builds its index now, one pass over
// the view. `before`, the order it replaces, lets the positions that order gave find the
// places they stood for.
std::unique_ptr<BrowseOrder> makeSortedOrder(ViewManager& view, std::vector<int> fields,
                                             int identity, const BrowseOrder* before = nullptr);

}  // namespace classlib

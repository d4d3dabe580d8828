// VIEW: reading a primary FILE through an order and a filter.
//
// The order is one of the primary's keys, a list of its fields, or its physical order. A
// filter is an expression (runtime/expression.h) over bound names and the primary's fields
// and memos, known by their labels ("PRO:CATEGORY") while the view is open; records for which
// it is not true are passed over. In key order, a filter that fixes the key's first field
// ("(PRO:category = glo:category)" over a key on PRO:CATEGORY) reads only the records with
// the value the variable has at SET, so an empty range costs one look at the key. In key and
// physical order the view reads the file as it goes; in an order of fields, SET reads the whole
// file once and sorts the records that pass the filter by those fields (ties in physical order),
// and NEXT reads each again by its position, so it is the current record of the primary (PUT writes
// it). An order of fields needs a driver that can read by position (the Caskfile driver).
//
// Errors are those of the primary's statements, and 801 when the filter cannot be evaluated
// (a name that is not bound), with the reason as the driver's text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/expression.h"

namespace files {

inline constexpr int kBadFilterErr = 801;

class FileView {
 public:
  explicit FileView(FileDeclaration& primary) : primary_(primary) {}
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  ~FileView();

  FileDeclaration& primary() const { return primary_; }

  // The order of the next SET: a key of the primary; its fields (1-based numbers, negative
  // for descending; texts compared without regard to case with `noCase`); physical order.
  void orderByKey(const KeyDef& key);
  void orderByFields(std::vector<std::int32_t> fields, bool noCase = false);
  void orderPhysical();
  // The filter of the next SET; an empty text is none. False, keeping the filter as it was,
  // when `text` is not an expression (the reason in `error`).
  bool setFilter(std::string_view text, runtime::ParseError* error = nullptr);
  // Going on with the reading (DriverFile::readingMark, canGoOn): the primary's mark, and
  // whether NEXT goes on from where the reading stood at `mark` as a new SET after the record
  // read then would, with the view's order and filter as they were at its SET.
  std::uint64_t readingMark() const;
  bool canGoOn(std::uint64_t mark);
  // Called after each `every` records the filter passed over in NEXT and PREVIOUS, so that a
  // long read can let the windows draw; none by default.
  void onPassedOver(std::size_t every, std::function<void()> hook) {
    passEvery_ = every;
    passedOver_ = std::move(hook);
  }

  friend void OPEN(FileView& view, int mode);
  friend void CLOSE(FileView& view);
  friend int STATUS(const FileView& view);
  friend void SET(FileView& view);
  friend void SET(FileView& view, SetFrom from);
  friend void NEXT(FileView& view);
  friend void PREVIOUS(FileView& view);

 private:
  enum class Order { Physical, Key, Fields };

  // Reads the next record in the direction that passes the filter.
  int read(bool forward);
  // 0 when the record in the buffer passes the filter, 1 when it does not, else the error.
  int filterOut();
  // In key order, limits the reading to the records that can pass: when the filter requires
  // the key's first field (a text) to equal a variable or a literal text, to the records whose
  // key begins with that text. The filter still decides on each record.
  void limitToFilter();
  // SET in an order of fields: the positions of the records that pass, sorted.
  int sortByFields();
  void bindFields();
  void unbindFields();

  FileDeclaration& primary_;
  Order order_ = Order::Physical;
  const KeyDef* key_ = nullptr;
  std::vector<std::int32_t> fields_;
  bool noCase_ = false;
  std::optional<runtime::Expression> filter_;
  std::string filterText_;  // the text of filter_
  std::function<void()> passedOver_;
  std::size_t passEvery_ = 1;
  std::size_t passed_ = 0;  // records passed over, for passedOver_
  int mode_ = 0;  // the mode the view is open with, 0 when closed
  bool openedPrimary_ = false;
  // The names this view bound: the variable bound, and the one it replaced (null for none).
  struct Binding {
    std::string name;
    std::shared_ptr<runtime::BoundValue> variable;
    std::shared_ptr<runtime::BoundValue> replaced;
  };
  std::vector<Binding> bound_;
  std::vector<std::int64_t> sorted_;  // positions in an order of fields
  std::ptrdiff_t at_ = 0;             // index in sorted_ of the record last read
  bool started_ = false;              // whether a record was read since SET
  bool changedSinceSet_ = true;       // the order or filter changed after the last SET
};

// Opens the view: the primary is opened with `mode` unless it is open already (then the view
// reads through that open and leaves it open when it closes). 52 when the view is open.
void OPEN(FileView& view, int mode = 0x22);
// Closes the view, and the primary when the view opened it.
void CLOSE(FileView& view);
// The mode the view is open with; 0 when it is closed.
int STATUS(const FileView& view);
// Starts reading in the view's order; NEXT and PREVIOUS read the next or previous record that
// passes the filter into the primary's record buffer (33 at the end or start).
void SET(FileView& view);
// In key order with SetFrom::RecordBuffer, starts at the key values in the primary's record
// buffer: NEXT reads the first record at or after them that passes the filter, PREVIOUS the
// last one at or before them. With KeyStart the same as SET(view); 80 (not supported) from the
// record buffer in the other orders.
void SET(FileView& view, SetFrom from);
void NEXT(FileView& view);
void PREVIOUS(FileView& view);

}  // namespace files

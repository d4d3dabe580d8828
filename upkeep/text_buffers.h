// The growing text buffers in which a SQL INSERT and its column and value lists are built.
// Process-wide; used only inside ds_FileOpen's lock, by one upgrade at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep {

// A block of `capacity()` bytes, blank (spaces) where nothing was written.
class TextBuffer {
 public:
  std::size_t capacity() const { return bytes_.size(); }
  // The first `length` bytes (at most the capacity).
  std::string_view text(std::size_t length) const {
    return std::string_view(bytes_).substr(0, length);
  }
  // The whole block.
  std::string_view all() const { return bytes_; }

  // A new blank block of `capacity` bytes in place of the old one.
  void allocate(std::size_t capacity) { bytes_.assign(capacity, ' '); }
  void free() {
    bytes_.clear();
    bytes_.shrink_to_fit();
  }
  // Makes room for `end` bytes: when `end` is beyond the capacity the block grows to the
  // capacity + kGrowth, or to `end` when that is more, keeping its contents.
  void growFor(std::size_t end);
  // Writes `text` into bytes start .. start + size - 1 (0-based), which must fit.
  void write(std::size_t start, std::string_view text);

  static constexpr std::size_t kGrowth = 16384;

 private:
  std::string bytes_;
};

struct SqlTextBuffers {
  TextBuffer InsertStatement;
  TextBuffer FieldNames;
  TextBuffer FieldValues;
  TextBuffer FieldValueText;
  TextBuffer spare;
};

// The process-wide buffers.
SqlTextBuffers& sqlTextBuffers();

// Gives InsertStatement, FieldNames, FieldValues and FieldValueText 16384 blank bytes each
// (before a SQL conversion); freeSqlTextBuffers releases every buffer (after it).
void allocateSqlTextBuffers();
void freeSqlTextBuffers();

// Stores `text` as InsertStatement, which takes exactly its length, and its length in `length`.
void SetInsertStatement(std::int32_t& length, std::string_view text);

// Writes the first `count` bytes of `text` (space padded) after the `used` bytes of FieldNames,
// growing it first when needed; used += count.
void AppendFieldName(std::int32_t count, std::int32_t& used, std::string_view text);

// The same for FieldValues. With /upkdebugAFV on the command line it then traces the capacity
// before the call, the end required, the new used length and the buffer.
void CheckRecordBufferSize(std::int32_t count, std::int32_t& used, std::string_view text);

// Writes `text`, space padded, into the 1-based positions start .. end of FieldValueText,
// growing it first when `end` is beyond its capacity.
void WriteValueText(std::int32_t start, std::int32_t end, std::string_view text);

// Copies `text` into the spare buffer, grown to `size` bytes when it is smaller (it never
// shrinks).
void SaveToSpareBuffer(std::int32_t size, std::string_view text);

}  // namespace upkeep

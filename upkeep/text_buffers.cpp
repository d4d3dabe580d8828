#include "upkeep/text_buffers.h"

#include <algorithm>
#include <cassert>

#include "platform/runtime/command_line.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

SqlTextBuffers buffers;

// `text` cut or space padded to `count` bytes.
std::string fitted(std::string_view text, std::size_t count) {
  std::string result(text.substr(0, count));
  result.resize(count, ' ');
  return result;
}

// Writes `count` bytes of `text` after the `used` bytes of `buffer`, growing it first.
void append(TextBuffer& buffer, std::int32_t count, std::int32_t& used, std::string_view text) {
  if (count <= 0) return;
  const std::size_t start = static_cast<std::size_t>(std::max(used, 0));
  const std::size_t size = static_cast<std::size_t>(count);
  buffer.growFor(start + size);
  buffer.write(start, fitted(text, size));
  used = static_cast<std::int32_t>(start + size);
}

}  // namespace

void TextBuffer::growFor(std::size_t end) {
  if (end <= bytes_.size()) return;
  SaveToSpareBuffer(static_cast<std::int32_t>(bytes_.size()), bytes_);
  const std::size_t kept = bytes_.size();
  allocate(std::max(kept + kGrowth, end));
  write(0, buffers.spare.text(kept));
}

void TextBuffer::write(std::size_t start, std::string_view text) {
  assert(start + text.size() <= bytes_.size());
  bytes_.replace(start, text.size(), text);
}

SqlTextBuffers& sqlTextBuffers() { return buffers; }

void allocateSqlTextBuffers() {
  for (TextBuffer* buffer : {&buffers.InsertStatement, &buffers.FieldNames, &buffers.FieldValues,
                             &buffers.FieldValueText}) {
    buffer->allocate(TextBuffer::kGrowth);
  }
}

void freeSqlTextBuffers() {
  for (TextBuffer* buffer : {&buffers.InsertStatement, &buffers.FieldNames, &buffers.FieldValues,
                             &buffers.FieldValueText, &buffers.spare}) {
    buffer->free();
  }
}

void SetInsertStatement(std::int32_t& length, std::string_view text) {
  if (text.size() > buffers.InsertStatement.capacity())
    buffers.InsertStatement.allocate(text.size());
  buffers.InsertStatement.write(0, text);
  length = static_cast<std::int32_t>(text.size());
}

void AppendFieldName(std::int32_t count, std::int32_t& used, std::string_view text) {
  append(buffers.FieldNames, count, used, text);
}

void CheckRecordBufferSize(std::int32_t count, std::int32_t& used, std::string_view text) {
  const std::size_t capacityBefore = buffers.FieldValues.capacity();
  const std::int32_t required = used + count;
  append(buffers.FieldValues, count, used, text);
  if (!runtime::COMMAND("/upkdebugAFV").empty()) {
    WriteTrace("AFV: Sizes: Current: " + std::to_string(capacityBefore) + " Req Size: " +
               std::to_string(required) + " AfterAppend: " + std::to_string(used) + " FieldVals: " +
               std::string(buffers.FieldValues.text(static_cast<std::size_t>(used))));
  }
}

void WriteValueText(std::int32_t start, std::int32_t end, std::string_view text) {
  if (start < 1 || end < start) return;
  buffers.FieldValueText.growFor(static_cast<std::size_t>(end));
  buffers.FieldValueText.write(static_cast<std::size_t>(start - 1),
                               fitted(text, static_cast<std::size_t>(end - start + 1)));
}

void SaveToSpareBuffer(std::int32_t size, std::string_view text) {
  TextBuffer& spare = buffers.spare;
  if (size > 0 && static_cast<std::size_t>(size) > spare.capacity()) {
    spare.allocate(static_cast<std::size_t>(size));
  }
  spare.write(0, text.substr(0, spare.capacity()));
}

}  // namespace upkeep

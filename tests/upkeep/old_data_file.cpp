#include "tests/upkeep/old_data_file.h"

#include <fstream>

namespace upkeep::testing {
namespace {

constexpr std::size_t kHeaderSize = 85;

class Writer {
 public:
  OldBytes bytes;
  void number(std::int64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  // A fixed-size text, padded with NUL bytes.
  void text(const std::string& value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
      bytes.push_back(i < value.size() ? static_cast<std::uint8_t>(value[i]) : 0);
  }
};

// XORs `length` bytes from `from` pair by pair; an odd last byte is kept, unless `wholeRecord`
// (a picture record), when it takes the even key.
void scramblePairs(OldBytes& bytes, std::size_t from, std::size_t length, std::uint8_t even,
                   std::uint8_t odd, bool wholeRecord = false) {
  for (std::size_t i = 0; i < length; i += 2) {
    if (i + 1 == length && !wholeRecord) break;
    bytes[from + i] ^= even;
    if (i + 1 < length) bytes[from + i + 1] ^= odd;
  }
}

std::int64_t fieldBytes(const OldFileDescription& d, const OldField& field) {
  std::int64_t size = field.len;
  if (field.arrnum > 0)
    for (const std::int16_t dim : d.arrays[static_cast<std::size_t>(field.arrnum) - 1]) size *= dim;
  return size;
}

std::int64_t recordFieldBytes(const OldFileDescription& d) {
  std::int64_t total = 0;
  for (const OldField& field : d.fields)
    if (field.type != OldGroup) total += fieldBytes(d, field);
  return total;
}

}  // namespace

OldFileDescription sampleOldFile() {
  OldFileDescription d;
  d.fields = {{.type = OldLong, .name = "OLD:NUMBER", .len = 4},
              {.type = OldString, .name = "Old:Name", .len = 20, .picnum = 1},
              {.type = OldGroup, .name = "OLD:PAIR", .len = 3},
              {.type = OldShort, .name = "OLD:LEFT", .len = 2},
              {.type = OldByte, .name = "OLD:RIGHT", .len = 1},
              {.type = OldDecimal, .name = "OLD:PRICE", .len = 5, .decsig = 9, .decdec = 2},
              {.type = OldString, .name = "OLD:TAGS", .len = 4, .arrnum = 1}};
  d.keys = {{.name = "OLD:BYNUMBER", .attr = 0x40, .fields = {1}},
            {.name = "OLD:BYNAME", .attr = 0x21, .fields = {2, 1}}};
  d.pictures = {"@s20"};
  d.arrays = {{3}};
  return d;
}

void poke(OldBytes& bytes, std::size_t at, std::int64_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t oldHeaderEnd(const OldFileDescription& d) {
  std::size_t end = kHeaderSize + 27 * d.fields.size();
  for (const OldKey& key : d.keys) end += 19 + 6 * key.fields.size();
  for (const std::string& picture : d.pictures) end += 2 + picture.size();
  for (const auto& dims : d.arrays) end += 6 + 4 * dims.size();
  return end;
}

OldBytes oldDataFile(const OldFileDescription& d) {
  const bool scrambled = (d.attr & 0x02) != 0;
  const std::int16_t reclen = d.reclen.value_or(static_cast<std::int16_t>(5 + recordFieldBytes(d)));
  std::int32_t live = 0;
  std::int32_t deleted = 0;
  std::int32_t firstDeleted = 0;
  for (std::size_t r = 0; r < d.records.size(); ++r) {
    if (!d.records[r].deleted) {
      ++live;
    } else if (++deleted == 1) {
      firstDeleted = static_cast<std::int32_t>(r + 1);
    }
  }

  Writer w;
  w.text("C3", 2);
  w.number(d.attr, 2);
  w.number(static_cast<std::int64_t>(d.keys.size()), 1);
  w.number(live, 4);
  w.number(deleted, 4);
  w.number(static_cast<std::int64_t>(d.fields.size()), 2);
  w.number(static_cast<std::int64_t>(d.pictures.size()), 2);
  w.number(static_cast<std::int64_t>(d.arrays.size()), 2);
  w.number(reclen, 2);
  w.number(static_cast<std::int64_t>(oldHeaderEnd(d)), 4);  // OFFSET
  w.number(0, 4);                                           // LOGEOF
  w.number(0, 4);                                           // LOGBOF
  w.number(firstDeleted, 4);                                // FREEREC
  w.text("RECORD", 12);
  w.text(d.memoName, 12);
  w.text(d.prefix, 3);
  w.text(d.prefix, 3);
  w.number(d.memoLen, 2);
  w.number(0, 2);  // MEMOWID
  w.number(0, 4);  // LOCKCNT
  w.number(0, 4);  // TIME
  w.number(0, 4);  // DATE
  w.number(0, 1);  // PASSODD
  w.number(0, 1);  // PASSEVEN
  if (scrambled) {
    for (std::size_t at = 4; at < kHeaderSize; ++at)
      w.bytes[at] ^= at % 2 == 0 ? d.evenKey : d.oddKey;
  }

  std::int64_t place = 0;
  for (const OldField& field : d.fields) {
    const std::size_t from = w.bytes.size();
    const std::int64_t start = place;
    w.number(field.type, 1);
    w.text(field.name, 16);
    w.number(start, 2);
    w.number(field.len, 2);
    w.number(field.decsig, 1);
    w.number(field.decdec, 1);
    w.number(field.arrnum, 2);
    w.number(field.picnum, 2);
    if (field.type != OldGroup) place = start + fieldBytes(d, field);
    if (scrambled) scramblePairs(w.bytes, from, 27, d.evenKey, d.oddKey);
  }
  for (const OldKey& key : d.keys) {
    const std::size_t from = w.bytes.size();
    w.number(static_cast<std::int64_t>(key.fields.size()), 1);
    w.text(key.name, 16);
    w.number(key.attr, 1);
    w.number(0, 1);
    for (const std::int16_t field : key.fields) {
      w.number(0, 1);
      w.number(field, 2);
      w.number(0, 2);
      w.number(0, 1);
    }
    if (scrambled) {
      scramblePairs(w.bytes, from, 19, d.evenKey, d.oddKey);
      scramblePairs(w.bytes, from + 19, 6 * key.fields.size(), d.evenKey, d.oddKey);
    }
  }
  for (const std::string& picture : d.pictures) {
    const std::size_t from = w.bytes.size();
    w.number(static_cast<std::int64_t>(picture.size()), 2);
    w.text(picture, picture.size());
    if (scrambled) scramblePairs(w.bytes, from, 2 + picture.size(), d.evenKey, d.oddKey, true);
  }
  for (const auto& dims : d.arrays) {
    std::int64_t total = 1;
    for (const std::int16_t dim : dims) total *= dim;
    w.number(static_cast<std::int64_t>(dims.size()), 2);
    w.number(total, 2);
    w.number(0, 2);
    for (const std::int16_t dim : dims) {
      w.number(dim, 2);
      w.number(0, 2);
    }
  }

  // The deleted records are chained in file order.
  for (std::size_t r = 0; r < d.records.size(); ++r) {
    const OldStoredRecord& record = d.records[r];
    std::int32_t nextDeleted = 0;
    for (std::size_t n = r + 1; record.deleted && n < d.records.size() && nextDeleted == 0; ++n)
      if (d.records[n].deleted) nextDeleted = static_cast<std::int32_t>(n + 1);
    w.number(record.deleted ? 1 : 0, 1);
    w.number(nextDeleted, 4);
    OldBytes fields = record.fields;
    fields.resize(static_cast<std::size_t>(reclen) - 5, 0);
    w.bytes.insert(w.bytes.end(), fields.begin(), fields.end());
  }
  return w.bytes;
}

void writeOldFile(const std::string& path, const OldBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace upkeep::testing

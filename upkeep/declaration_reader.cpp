#include "upkeep/declaration_reader.h"

#include <algorithm>

#include "platform/files/record_descriptor.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/message.h"
#include "platform/runtime/record_layout.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

bool isDecimal(FieldType type) { return type == FieldType::Decimal || type == FieldType::PDecimal; }

void insertByName(FieldQueue& queue, FieldEntry entry) {
  const auto place =
      std::upper_bound(queue.begin(), queue.end(), entry,
                       [](const FieldEntry& a, const FieldEntry& b) { return a.NAME < b.NAME; });
  queue.insert(place, std::move(entry));
}

FieldEntry fieldEntry(const FieldDef& def, std::uint8_t flags, std::uint32_t groupLength) {
  FieldEntry entry;
  entry.TYPE = static_cast<std::uint8_t>(def.type);
  entry.ATTRIB = flags;
  entry.LEN = def.type == FieldType::Group ? 0 : def.size;
  if (isDecimal(def.type)) {
    entry.CHARS = def.digits;
    entry.PLACES = def.scale;
  }
  if (def.type == FieldType::Group) {
    entry.GRPLEN = def.size;
    entry.GRPNUM = def.members;
    entry.GRPDEF = groupLength;
  }
  entry.OFFSET = def.offset + 1;
  entry.NAME = def.label;
  entry.EXTNAME = ExternalNameOf(def.externalName);
  entry.PICTURE = def.picture;
  std::uint8_t dims = 0;
  for (std::size_t i = 0; i < def.dims.size(); ++i) {
    if (def.dims[i] == 0) continue;
    entry.DIM[i] = static_cast<std::int32_t>(def.dims[i]);
    dims = static_cast<std::uint8_t>(i + 1);
  }
  entry.DIMS = std::max<std::uint8_t>(dims, 1);
  return entry;
}

FieldEntry memoEntry(files::Memo& memo) {
  FieldEntry entry;
  entry.TYPE = kMemoEntryType;
  entry.PTR = &memo;
  entry.LEN = memo.size();
  entry.OFFSET = static_cast<std::uint32_t>(memo.label().size());
  entry.NAME = memo.label();
  return entry;
}

std::string n(std::uint64_t value) { return std::to_string(value); }

void traceProperties(std::string_view which, const runtime::RecordLayout& layout) {
  for (std::size_t i = 0; i < layout.fieldCount() && i < 64; ++i) {
    const FieldDef& def = layout.fields()[i];
    std::uint32_t dims = 0;
    for (const std::uint32_t d : def.dims) dims += d != 0 ? 1 : 0;
    WriteTrace(std::string(which) + " Using props: Name: " + std::string(def.externalName) +
               " Label: " + std::string(def.label) + " Dims: " + n(dims) + " over: " + n(def.over) +
               " Type: " + n(static_cast<int>(def.type)));
  }
}

void traceDescriptorBytes(std::span<const std::uint8_t> bytes) {
  std::string line = "What's in the file: 0";
  for (const std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F) {
      line.push_back(static_cast<char>(b));
    } else {
      line += ";" + n(b);
    }
  }
  WriteTrace(line);
}

void traceEntry(std::size_t number, const FieldEntry& e) {
  WriteTrace(" Using Peek(" + n(number) + "): Name: " + e.NAME + " Dims: " + n(e.DIMS) +
             " Type: " + n(e.TYPE) + "Attrib: " + n(e.ATTRIB) + " chars: " + n(e.CHARS) +
             " places: " + n(e.PLACES) + " len: " + n(e.LEN) + " offset: " + n(e.OFFSET) +
             " grplen: " + n(e.GRPLEN) + " grpnum: " + n(e.GRPNUM) + " grpdef: " + n(e.GRPDEF) +
             " dim1: " + n(static_cast<std::uint32_t>(e.DIM[0])) + " dim4: " +
             n(static_cast<std::uint32_t>(e.DIM[3])) + " ptr: " + n(0) + " picture: " + e.PICTURE);
}

}  // namespace

std::string ExternalNameOf(std::string_view declared) {
  std::string name;
  bool quoted = false;
  for (const char c : declared) {
    if (c == '"') quoted = !quoted;
    if (c != ' ' || quoted) name += c;
  }
  return name;
}

FieldQueue& DST() {
  static FieldQueue queue;
  return queue;
}

FieldQueue& SRC() {
  static FieldQueue queue;
  return queue;
}

const FieldEntry* findField(const FieldQueue& queue, std::string_view name) {
  const auto place =
      std::lower_bound(queue.begin(), queue.end(), name,
                       [](const FieldEntry& a, std::string_view b) { return a.NAME < b; });
  return place != queue.end() && place->NAME == name ? &*place : nullptr;
}

bool LoadpQueue(files::FileDeclaration& file, FieldQueue& queue, bool destination) {
  queue.clear();
  const bool qzDebug = !runtime::COMMAND("/QZDebug").empty();
  std::string reason;
  const auto contents = files::readDescriptor(file.descriptor(), &reason);
  if (!contents) {
    WriteTrace("LoadpQueue: the declaration of " + file.label() + " does not read: " + reason);
    return false;
  }
  const runtime::RecordLayout& layout = contents->layout;
  if (qzDebug) traceProperties(destination ? "dst" : "src", layout);
  if (layout.fieldCount() > 0) {
    const std::string_view first = layout.fields()[0].label;
    const std::size_t colon = first.find(':');
    if (colon == std::string_view::npos || colon == 0)
      runtime::STOP("No prefix for this file: " + file.label());
  }
  if (qzDebug) traceDescriptorBytes(file.descriptor());

  for (std::size_t i = 0; i < layout.fieldCount(); ++i) {
    const FieldDef& def = layout.fields()[i];
    FieldEntry entry = fieldEntry(def, contents->flags[i], contents->groupLengths[i]);
    if (qzDebug) traceEntry(i + 1, entry);
    if (def.over != 0) continue;  // laid over another field itself
    if (layout.liesOver(static_cast<int>(i + 1))) {
      // A field of a GROUP laid over another: only the destination list has it.
      if (!destination) continue;
      entry.OVERED = 1;
    }
    insertByName(queue, std::move(entry));
  }
  for (files::Memo& memo : file.memos()) insertByName(queue, memoEntry(memo));
  if (debugLevels().perFieldTrace) {
    WriteTrace("LoadpQueue OUT: numkeys: " + n(file.keyCount()) +
               ", nummemos: " + n(file.memoCount()) + ", numfields: " + n(layout.fieldCount()));
  }
  return true;
}

bool LoadDestQueue(files::FileDeclaration& file) { return LoadpQueue(file, DST(), true); }

bool LoadSourceQueue(files::FileDeclaration& file) { return LoadpQueue(file, SRC(), false); }

std::string BlankText() { return std::string(255, ' '); }

}  // namespace upkeep

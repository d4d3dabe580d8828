#include "upkeep/structure_image.h"

#include <cassert>
#include <memory>
#include <utility>

#include "platform/files/record_descriptor.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/message.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/driver_used.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/registration_tables.h"
#include "upkeep/text_converters.h"
#include "upkeep/trace.h"
#include "upkeep/type_widening.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

constexpr std::uint8_t kCurrentForm = '1';

bool isSqlCode(std::string_view code) {
  const std::string upper = runtime::UPPER(code);
  return upper == "MSS" || upper == "ORA" || upper == "ASA" || upper == "ODB";
}

// ---- writing

class ImageWriter {
 public:
  explicit ImageWriter(std::vector<std::uint8_t>& out) : out_(out) { out_.clear(); }

  // False once a text was given that an image cannot hold.
  bool textsFit() const { return textsFit_; }

  void byte(std::uint8_t value) { out_.push_back(value); }
  void u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
      out_.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  // A text and its zero byte; a text an image cannot hold marks the image as not fitting.
  void text(std::string_view value) {
    if (value.size() > kLongestImageText || value.find('\0') != std::string_view::npos)
      textsFit_ = false;
    out_.insert(out_.end(), value.begin(), value.end());
    out_.push_back(0);
  }
  void bytes(std::span<const std::uint8_t> value) {
    out_.insert(out_.end(), value.begin(), value.end());
  }

 private:
  std::vector<std::uint8_t>& out_;
  bool textsFit_ = true;
};

// ---- reading

class ImageReader {
 public:
  explicit ImageReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool failed() const { return failed_; }
  std::size_t position() const { return position_; }
  std::span<const std::uint8_t> rest() const { return bytes_.subspan(position_); }
  void skip(std::size_t count) {
    if (count > bytes_.size() - position_) failed_ = true;
    position_ = failed_ ? bytes_.size() : position_ + count;
  }

  std::uint8_t byte() {
    if (position_ >= bytes_.size()) {
      failed_ = true;
      return 0;
    }
    return bytes_[position_++];
  }
  // An unsigned number of `width` bytes.
  std::uint32_t unsignedOf(int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) value |= std::uint32_t{byte()} << (8 * i);
    return value;
  }
  // A signed number of `width` bytes, extended by its sign.
  std::int32_t signedOf(int width) {
    const std::uint32_t value = unsignedOf(width);
    if (width == 2) return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
  }
  // A text up to its zero byte; a text over 255 bytes fails the read (an image never holds
  // one, and cutting it would read what follows from the wrong place).
  std::string text() {
    std::string out;
    for (std::uint8_t c = byte(); c != 0 && !failed_; c = byte()) {
      if (out.size() == kLongestImageText) failed_ = true;
      out.push_back(static_cast<char>(c));
    }
    return out;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

std::nullopt_t fail(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
  return std::nullopt;
}

std::span<const std::uint8_t> asBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// ---- the built FILEs

struct MadeFile {
  std::string_view label;
  std::string_view prefix;
  runtime::String<255> name;
  std::unique_ptr<files::FileDeclaration> file;
};

// A one-byte record of the Caskfile driver, what INFILE and DESTFILE are until first built.
std::unique_ptr<files::FileDeclaration> placeholder(MadeFile& made) {
  static constexpr runtime::FieldDef kField = {.label = "AAA:BYTE", .size = 1};
  const runtime::RecordLayout layout(std::span(&kField, 1), 1);
  files::FileParts parts;
  parts.label = made.label;
  parts.prefix = made.prefix;
  parts.nameVariable = files::bindName(made.name);
  parts.recordLength = 1;
  parts.descriptor = *files::writeDescriptor(layout);
  return std::move(files::FileDeclaration::assemble(std::move(parts)).file);
}

MadeFile& made(std::uint8_t which) {
  static MadeFile in{"INFILE", "AAA1", {}, nullptr};
  static MadeFile dest{"DESTFILE", "AAAZ", {}, nullptr};
  MadeFile& chosen = which == 1 ? in : dest;
  if (!chosen.file) chosen.file = placeholder(chosen);
  return chosen;
}

// The steps of MakeFile, with /debugupkeptmake. Owners are passwords: shown in clear only at
// the developer trace level.
void traceMake(const StructureImage& image, std::uint8_t which) {
  WriteTrace(which == 1 ? "InFileName = " + made(1).name.clipped()
                        : "DestFileName = " + made(0).name.clipped());
  WriteTrace("Send String = " + image.driverString);
  const bool showOwner = debugLevels().developerLevel != 0 || image.owner.empty();
  WriteTrace("Owner = " + (showOwner ? image.owner : std::string("(hidden)")));
  WriteTrace("Attributes = " + std::to_string(image.attributes));
  WriteTrace("Number of Keys = " + std::to_string(image.keys.size()));
  WriteTrace("Number of Memos = " + std::to_string(image.memos.size()));
  WriteTrace("Record Length = " + std::to_string(image.recordLength));
  for (std::size_t k = 0; k < image.keys.size(); ++k) {
    WriteTrace("Key Number : " + std::to_string(k + 1) +
               " Number of Key Fields = " + std::to_string(image.keys[k].components.size()) +
               " attributes : " + std::to_string(image.keys[k].flags));
  }
}

}  // namespace

std::optional<files::Driver> DriverPointer(std::string_view code) {
  const std::string wanted = runtime::UPPER(runtime::CLIP(code));
  for (const DriverEntry& entry : registration().DR)
    if (runtime::UPPER(runtime::CLIP(entry.NAME)) == wanted) return entry.PTR;
  const std::string message = messageText("M10");
  if (debugLevels().detailTrace) {
    WriteTrace("Upkeep: Warning - Driver (" + std::string(code) + ") not located - GPF likely");
  }
  runtime::STOP("Upkeep: " + message + " " + runtime::CLIP(code));
  if (debugLevels().inOutTrace) WriteTrace("DriverPointer Out Not Found ");
  return std::nullopt;
}

std::int32_t writeImage(const files::FileDeclaration& file, std::vector<std::uint8_t>& image,
                        ImageRefusal* refusal) {
  const std::string code = DriverUsed(file);
  if (code.empty()) return kImageDriverNotRegistered;
  ImageWriter out(image);
  out.byte(kCurrentForm);
  std::string paddedCode = code.substr(0, 3);
  paddedCode.resize(3, ' ');
  for (const char c : paddedCode) out.byte(static_cast<std::uint8_t>(c));
  if (isSqlCode(code)) {
    out.byte(0);
    out.byte(0);
  } else {
    out.text(file.driverString());
    out.text(file.owner());
  }
  out.byte(file.attributes());
  const auto refuse = [refusal](std::string line, bool imageDump = false) {
    if (refusal != nullptr) *refusal = {std::move(line), imageDump};
    return kImageTooLarge;
  };
  if (file.keyCount() > kMostImageKeys)
    return refuse("Too many keys : " + std::to_string(file.keyCount()) + " " +
                  std::to_string(kMostImageKeys));
  if (file.memoCount() > kMostImageMemos)
    return refuse("Too many memos : " + std::to_string(file.memoCount()) + " " +
                  std::to_string(kMostImageMemos));
  if (file.recordLength() > kLargestImageRecord)
    return refuse("Record too long : " + std::to_string(file.recordLength()) + " " +
                  std::to_string(kLargestImageRecord));
  out.byte(static_cast<std::uint8_t>(file.keyCount()));
  out.byte(static_cast<std::uint8_t>(file.memoCount()));
  out.u32(file.recordLength());
  for (const files::KeyDef& key : file.keys()) {
    if (key.components.size() > 0xFF)
      return refuse("Too many key components : " + key.label + " " +
                    std::to_string(key.components.size()));
    out.byte(static_cast<std::uint8_t>(key.components.size()));
    out.u32(key.flags);
    out.text(key.externalName);
    out.text(key.label);
    for (const std::int32_t component : key.components)
      out.u32(static_cast<std::uint32_t>(component));
  }
  for (const files::Memo& memo : file.memos()) {
    out.byte(memo.def().kind);
    out.u32(memo.size());
    out.text(memo.def().externalName);
    out.text(memo.label());
  }
  if (!out.textsFit()) return refuse("A name too long for the image");
  // The next free position and the descriptor's length.
  const std::size_t end = image.size() + 1 + file.descriptor().size();
  if (end > MAXDEFSIZE + 1) {
    return refuse("Too Big 2 : fmtp+shrt=" + std::to_string(end) +
                      " MAXDEFSIZE=" + std::to_string(MAXDEFSIZE),
                  true);
  }
  out.bytes(file.descriptor());
  return static_cast<std::int32_t>(image.size() + 1);
}

std::int32_t ReadFormat(const files::FileDeclaration& file) {
  if (debugLevels().detailTrace) WriteTrace("Into ReadFormat!!!!!!!!!!!!!!!!!");
  std::vector<std::uint8_t> image;
  ImageRefusal refusal;
  const std::int32_t result = writeImage(file, image, &refusal);
  const DebugLevels& levels = debugLevels();
  if (result == kImageTooLarge && (refusal.imageDump ? levels.imageDump : levels.detailTrace))
    WriteTrace(refusal.line);
  if (result <= kImageTooLarge) return result;
  if (debugLevels().detailTrace) {
    const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
    const auto headerEnd = static_cast<std::int32_t>(image.size() - file.descriptor().size());
    WriteTrace("What's in the Header: " + ByteDump(bytes, headerEnd, 1));
  }
  if (debugLevels().imageDump) {
    WriteTrace(" File Definition size = " + std::to_string(result) + ". File : " + file.label());
  }
  if (debugLevels().detailTrace) WriteTrace("Too Big ? : fmtp=" + std::to_string(result));
  storeImage(image);
  return result;
}

void storeImage(std::span<const std::uint8_t> image) {
  files::Memo& memo = UpgFormat();
  std::string content(image.begin(), image.end());
  if (memo.content().size() > content.size()) content += memo.content().substr(content.size());
  const bool stored = memo.setBytes(content);
  assert(stored && "an image fits its memo");
  (void)stored;
}

std::optional<StructureImage> readImage(std::span<const std::uint8_t> bytes, std::string* error) {
  ImageReader in(bytes);
  StructureImage image;
  image.older = !bytes.empty() && bytes[0] != kCurrentForm;
  if (!image.older) in.byte();
  const int width = image.older ? 2 : 4;
  for (int i = 0; i < 3; ++i) image.driverCode.push_back(static_cast<char>(in.byte()));
  image.driverString = in.text();
  image.owner = in.text();
  image.attributes = in.byte();
  const std::size_t keyCount = in.byte();
  const std::size_t memoCount = in.byte();
  image.recordLength = in.unsignedOf(width);
  if (in.failed()) return fail(error, "image header cut short");
  if (keyCount > kMostImageKeys || memoCount > kMostImageMemos)
    return fail(error, "more keys or memos than an image holds");
  if (image.recordLength > kLargestImageRecord)
    return fail(error, "record of " + std::to_string(image.recordLength) + " bytes");
  for (std::size_t k = 0; k < keyCount && !in.failed(); ++k) {
    files::KeyDef key;
    const std::size_t components = in.byte();
    key.flags = in.unsignedOf(width);
    key.externalName = in.text();
    key.label = in.text();
    for (std::size_t c = 0; c < components && !in.failed(); ++c)
      key.components.push_back(in.signedOf(width));
    image.keys.push_back(std::move(key));
  }
  for (std::size_t m = 0; m < memoCount && !in.failed(); ++m) {
    files::MemoDef memo;
    memo.kind = in.byte();
    memo.size = in.unsignedOf(width);
    memo.externalName = in.text();
    memo.label = in.text();
    image.memos.push_back(std::move(memo));
  }
  if (in.failed()) return fail(error, "key or memo entries cut short or with a text too long");
  std::string reason;
  if (image.older) {
    auto widened = ConvertGroup(in.rest(), &reason);
    if (!widened) return fail(error, "descriptor: " + reason);
    image.descriptor = std::move(*widened);
  } else {
    const auto contents = files::readDescriptor(in.rest(), &reason);
    if (!contents) return fail(error, "descriptor: " + reason);
    image.descriptor.assign(in.rest().begin(), in.rest().begin() + contents->length);
  }
  return image;
}

files::FileDeclaration& INFILE() { return *made(1).file; }
files::FileDeclaration& DESTFILE() { return *made(0).file; }
runtime::String<255>& InFileName() { return made(1).name; }
runtime::String<255>& DestFileName() { return made(0).name; }

bool setMadeFileName(std::uint8_t which, std::string_view name) {
  runtime::String<255>& variable = made(which).name;
  const std::string clipped = runtime::CLIP(name);
  if (clipped.size() > kLongestMadeFileName) {
    variable.clear();
    runtime::STOP("Upkeep: File name longer than " + std::to_string(kLongestMadeFileName) +
                  " characters: " + clipped);
    return false;
  }
  variable = clipped;
  return true;
}

bool& AttributeNote() {
  static bool note = false;
  return note;
}

void resetStructureImages() {
  AttributeNote() = false;
  made(1).name.clear();
  made(0).name.clear();
}

std::int32_t MakeFile(std::uint8_t which) {
  const bool inOut = debugLevels().inOutTrace != 0;
  if (inOut) WriteTrace("MakeFile IN.");
  std::string reason;
  const auto image = readImage(asBytes(UpgFormat().content()), &reason);
  if (!image) {
    WriteTrace("MakeFile: stored structure refused, the file is left alone: " + reason);
    return 0;
  }
  const std::optional<files::Driver> driver = DriverPointer(image->driverCode);
  if (!driver) {
    if (debugLevels().detailTrace) {
      WriteTrace("makefile rtfh:driver: 0 - if 0, then makefile returns 0 now!");
    }
    return 0;
  }
  MadeFile& target = made(which);
  if (!runtime::COMMAND("/debugupkeptmake").empty()) traceMake(*image, which);
  files::FileParts parts;
  parts.label = target.label;
  parts.prefix = target.prefix;
  parts.driver = *driver;
  parts.nameVariable = files::bindName(target.name);
  parts.driverString = image->driverString;
  parts.owner = image->owner;
  parts.attributes =
      static_cast<std::uint8_t>(image->attributes | 0x04 | (AttributeNote() ? 0x01 : 0));
  parts.recordLength = image->recordLength;
  parts.keys = image->keys;
  for (files::KeyDef& key : parts.keys)
    if (!key.externalName.empty()) key.externalName[0] = '$';
  parts.memos = image->memos;
  parts.descriptor = image->descriptor;
  files::AssembledFile assembled = files::FileDeclaration::assemble(std::move(parts));
  if (!assembled.file) {
    WriteTrace("MakeFile: stored structure refused, the file is left alone: " + assembled.error);
    return 0;
  }
  if (debugLevels().detailTrace) WriteTrace(image->older ? "Made In 16 " : "Made In 32 ");
  target.file = std::move(assembled.file);
  if (inOut) WriteTrace("MakeFile OUT.");
  return 1;
}

}  // namespace upkeep

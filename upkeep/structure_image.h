// Structure images: the byte strings in which the catalogue keeps a FILE declaration (driver
// code, driver string, owner, attributes, keys, memos and the record type descriptor), and the
// run-time FILEs INFILE and DESTFILE that MakeFile builds back from them.
//
// Current form (first byte "1"); numbers little-endian, texts followed by one zero byte:
//   "1", driver code (3 bytes, as registered), driver string, owner (both empty for the SQL
//   codes "MSS", "ORA", "ASA", "ODB"), attribute byte, key count (byte, at most 74), memo count
//   (byte, at most 250), record length (u32, at most 64000);
//   each key: component count (byte), flags (u32), external name, label, components (i32);
//   each memo: kind byte, size (u32), external name, label;
//   the record type descriptor, byte for byte (platform/files/record_descriptor.h).
// Older form (first byte not "1", only read): the driver code at the first byte, key flags,
// components, record length and memo sizes in 16 bits (components signed), and the descriptor
// in the older 16-bit layout, widened by ConvertGroup (type_widening.h).
// Every text of an image is at most 255 bytes; the whole image at most MAXDEFSIZE bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/runtime/text_types.h"

namespace upkeep {

// Results of ReadFormat besides the image length plus one.
inline constexpr std::int32_t kImageDriverNotRegistered = 1;
inline constexpr std::int32_t kImageTooLarge = 2;

// What an image can hold.
inline constexpr std::size_t kMostImageKeys = 74;
inline constexpr std::size_t kMostImageMemos = 250;
inline constexpr std::uint32_t kLargestImageRecord = 64000;
inline constexpr std::size_t kLongestImageText = 255;
// The most characters of a name that INFILE and DESTFILE are opened under.
inline constexpr std::size_t kLongestMadeFileName = 100;

// The driver registered under `code` (compared clipped, in upper case, first entry first).
// Nothing, after a STOP with M10 and the code, when none is.
std::optional<files::Driver> DriverPointer(std::string_view code);

// Writes the image of `file`'s declaration into `image` (replacing what it held). Answers
// kImageDriverNotRegistered when the file's driver is not in DR, kImageTooLarge when the
// declaration cannot be held by an image (over MAXDEFSIZE bytes, more than 74 keys or 250
// memos, a key of more than 255 components, a record over 64000 bytes, a text over 255 bytes
// or holding a zero byte), otherwise the image length plus one.
// Why an image was too large: the trace line that says so, and whether it belongs to the
// image-dump switch (the descriptor does not fit) rather than the detail switch.
struct ImageRefusal {
  std::string line;
  bool imageDump = false;
};
std::int32_t writeImage(const files::FileDeclaration& file, std::vector<std::uint8_t>& image,
                        ImageRefusal* refusal = nullptr);

// ReadFormat: writeImage of `file` into the memo UPG:FMT, from its first byte; the bytes of
// the memo after the image are left as they were. On results 1 and 2 the memo is unchanged.
std::int32_t ReadFormat(const files::FileDeclaration& file);

// Writes `image` (at most MAXDEFSIZE bytes) into the memo UPG:FMT from its first byte; the
// bytes of the memo after the image are left as they were.
void storeImage(std::span<const std::uint8_t> image);

// An image read back: everything but the names a FILE built from it gets.
struct StructureImage {
  bool older = false;  // read in the older form
  std::string driverCode;
  std::string driverString;
  std::string owner;
  std::uint8_t attributes = 0;
  std::uint32_t recordLength = 0;
  std::vector<files::KeyDef> keys;
  std::vector<files::MemoDef> memos;
  std::vector<std::uint8_t> descriptor;  // in the current layout
};

// Reads the image at the start of `bytes` (bytes after it are not looked at). Nothing, with
// the reason in `error`, when the bytes are not a sound image: cut short, counts or a record
// length beyond what an image holds, a text over 255 bytes, a descriptor that does not read.
std::optional<StructureImage> readImage(std::span<const std::uint8_t> bytes,
                                        std::string* error = nullptr);

// The FILEs MakeFile builds: INFILE (prefix AAA1, opened under InFileName) and DESTFILE (prefix
// AAAZ, opened under DestFileName). Each is a one-byte record of the Caskfile driver until it
// is first built. The name is read from its variable at each open. A reference to either is
// good until the next MakeFile of the same kind.
files::FileDeclaration& INFILE();
files::FileDeclaration& DESTFILE();
runtime::String<255>& InFileName();
runtime::String<255>& DestFileName();

// Sets InFileName (`which` = 1) or DestFileName (any other value) to `name`. A name over
// kLongestMadeFileName characters is refused with a STOP naming it, and the variable is
// blanked, so that the FILE never opens another file than the one meant. Answers whether the
// name was taken.
bool setMadeFileName(std::uint8_t which, std::string_view name);

// The run-wide note of attribute bit 20h: when set, MakeFile adds 01h to the attributes of the
// FILEs it builds. The upgrade sets it from the declaration it upgrades to.
bool& AttributeNote();

// Forgets the attribute note and the names of INFILE and DESTFILE (process start and end).
void resetStructureImages();

// Builds INFILE (`which` = 1) or DESTFILE (any other value) from the image now in UPG:FMT:
// its driver string, owner (none when empty), attributes (with 04h always, and 01h with the
// note above), keys (a non-empty external name gets "$" for its first character), memos,
// record length and descriptor, the descriptor of an older image widened first. Answers 1 on
// success; 0 when the image's driver code is not registered (after DriverPointer's STOP) or
// the image is not sound, leaving the FILE as it was.
std::int32_t MakeFile(std::uint8_t which);

}  // namespace upkeep

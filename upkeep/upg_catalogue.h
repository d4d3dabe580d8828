// The UPG catalogue's work at start-up: the names and owner of its two tables, the comparison
// of a declaration's image with the one stored for its label and version, the one-time
// conversion of the old table, and the flags that the rest of the engine reads.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace upkeep {

// Sets the names of the two UPG tables and their owner on the first call of the run (the
// folder is upgFolderSetting(), settings_ini.h), and the silent flag on every call: with
// /UpkeptSILENT on the command line or "Silent" = "TRUE" in the settings INI. The flag is never
// cleared.
void SetUPGFileNames();

// The silent flag (no wait windows during upgrades).
std::uint8_t& UpgSilent();

// What the comparison of a stored image with a declaration's found.
enum class ImageComparison { Same, Skipped, Changed };

// Compares the stored image `stored` with the new image `fresh` over their first `r` bytes
// plus one (`r` the image length plus one, as ReadFormat answers): skipped when exactly one of
// them is in the current form; otherwise equal but for the bytes the catalogue takes from the
// new image (from after the second zero byte of the stored image up to the next zero byte of
// the new one: attributes, counts and record length), the owner of a SQL driver's image and
// the whole of an in-memory driver's ("MEM", each of whose bytes is passed over with the
// field-copy trace "Ignoring MEMORY file..." and the file's `label`). Bytes beyond either span
// count as zero.
ImageComparison compareImages(std::span<const std::uint8_t> stored,
                              std::span<const std::uint8_t> fresh, std::int32_t r,
                              std::string_view label);

// Copies every entry of the old table into the current table (open), the image into its first
// 10000 bytes, in one transaction; nothing when the old table is missing or empty. An entry the
// current table refuses for another reason than a duplicate key is reported with STOP and M2,
// and nothing is kept.
void ConvertOldUPGTable();

// With the current table open, on the first call of the run: ConvertOldUPGTable when the
// current table holds no entry (just created, or left empty by a conversion cut short).
void convertOldTableIfEmpty();

// Forgets the names, flags and run-wide state (process start and end).
void resetCatalogue();

}  // namespace upkeep

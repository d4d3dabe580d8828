// The catalogue side of ds_UsingFile: the declaration's structure is stored under its label and
// version in the UPG catalogue, or compared with the one stored there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// The catalogue entry a registration found or added.
struct CatalogueEntryRef {
  std::string prefix;  // the entry's record prefix
  std::int32_t version = 0;
};

// Opens the UPG catalogue (creating its current table, and converting the old one into it,
// when it is missing; rebuilding its keys first with /buildupg), stores the image of `file`
// under `label` and `version` when no entry has them, or else compares the stored image with
// the declaration's (not with /LoadFast), and closes the catalogue. A declaration changed
// without a new version gets a STOP with M1; a driver not registered M10, an image too large
// M14. Answers the entry found or added (the registration's own prefix and version when no
// image could be made), or nothing, after a STOP with M2, when the catalogue cannot be opened,
// created or written: the file is then not registered.
std::optional<CatalogueEntryRef> UsingFileWork(files::FileDeclaration& file,
                                               std::string_view prefix, std::string_view label,
                                               std::int32_t version);

}  // namespace upkeep

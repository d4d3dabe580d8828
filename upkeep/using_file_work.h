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

// Stores or compares the structure of `file`, registered with `prefix`, `label` and `version`;
// reports what it cannot do with STOP. Answers the entry found or added, or nothing when the
// catalogue could not be opened (the file is then not registered).
//
// Until the catalogue is built, no structure is stored: the entry is the registration's own
// prefix and version.
std::optional<CatalogueEntryRef> UsingFileWork(files::FileDeclaration& file,
                                               std::string_view prefix, std::string_view label,
                                               std::int32_t version);

}  // namespace upkeep

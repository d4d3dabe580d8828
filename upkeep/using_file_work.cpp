#include "upkeep/using_file_work.h"

namespace upkeep {

std::optional<CatalogueEntryRef> UsingFileWork(files::FileDeclaration&, std::string_view prefix,
                                               std::string_view, std::int32_t version) {
  return CatalogueEntryRef{std::string(prefix), version};
}

}  // namespace upkeep

// The seam where an old .DAT file's header becomes a structure image. The import of such
// headers is not built yet: ImportCorvid finds nothing, so the search goes on without an old
// .DAT source.
#pragma once

#include <cstdint>

namespace upkeep {

// 1 when the header of the .DAT file named by InFileName was turned into a structure image in
// UPG:FMT, ready for MakeFile; else 0. Answers 0 until the header import is built.
std::int32_t ImportCorvid();

}  // namespace upkeep

#include "upkeep/open_flags.h"

namespace upkeep {
namespace {

OpenFlags flags;

}  // namespace

OpenFlags& openFlags() { return flags; }

void resetOpenFlags() { flags = OpenFlags{}; }

}  // namespace upkeep

// ImportCorvid: turns the header of an old data file (".Dat", driver code "COR") into a
// structure image, so that the search of the stored structures can build INFILE from it and
// the upgrade can copy the old records like those of any older structure.
#pragma once

#include <cstdint>
#include <string>

namespace upkeep {

// Reads the header of the file named by InFileName (opened read-only, deny none) and writes
// its structure image into UPG:FMT. Answers 1 when the image was written; 0, writing nothing
// and showing nothing, when the file cannot be opened, is not of the old format, or its header
// is unsound (old_header.h) or cannot be described by an image (old_header_image.h). Sets the
// run-wide attribute note that MakeFile reads. /debugupkeptdat traces every record read.
std::int32_t ImportCorvid();

// True when ImportCorvid would write an image for the file named `fileName`; writes, traces and
// shows nothing.
bool oldHeaderImports(const std::string& fileName);

}  // namespace upkeep

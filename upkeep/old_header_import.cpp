#include "upkeep/old_header_import.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/files/share_lock.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/old_header.h"
#include "upkeep/old_header_image.h"
#include "upkeep/structure_image.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

constexpr int kReadDenyNone = 0x40;

// The records of the header as read, with /debugupkeptdat.
void traceHeader(const OldHeader& header) {
  WriteTrace("Num Fields = " + std::to_string(header.fields.size()));
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const OldFieldRecord& f = header.fields[i];
    WriteTrace("Reading Field " + std::to_string(i + 1) + " " + f.NAME + " type " +
               std::to_string(f.TYPE) + " start " + std::to_string(f.START) + " len " +
               std::to_string(f.LEN));
  }
  for (std::size_t k = 0; k < header.keys.size(); ++k) {
    WriteTrace("Reading key " + std::to_string(k + 1) + " " + header.keys[k].NAME + " fields " +
               std::to_string(header.keys[k].FIELDS.size()));
  }
  for (std::size_t p = 0; p < header.pictures.size(); ++p)
    WriteTrace("Reading Pic " + std::to_string(p + 1) + " " + header.pictures[p]);
}

// Why a file gave no image.
struct NotImported {
  bool opened = false;  // the file could be opened
  OldHeaderFault fault = OldHeaderFault::None;
  std::string reason;
};

// The structure image of the old data file named `name`. Nothing, saying why in `why`, when the
// file cannot be opened, is not of the old format, or its header is unsound or cannot be
// described by an image. /debugupkeptdat (`datTrace`) traces the header's records.
std::optional<std::vector<std::uint8_t>> importedImage(const std::string& name, NotImported& why,
                                                       bool datTrace) {
  files::ShareLock lock;
  if (name.empty() ||
      lock.acquire(runtime::toOsPath(name), *files::decodeAccessMode(kReadDenyNone)) != 0) {
    runtime::clearError();
    return std::nullopt;
  }
  why.opened = true;
  const std::optional<OldHeader> header =
      readOldHeader(OldDescriptorBytes(lock.fd()), &why.fault, &why.reason);
  if (!header) return std::nullopt;
  if (datTrace) traceHeader(*header);
  auto image = oldHeaderImage(*header, &why.reason);
  if (!image) why.fault = OldHeaderFault::Unsound;
  return image;
}

}  // namespace

std::int32_t ImportCorvid() {
  const bool perField = debugLevels().perFieldTrace != 0;
  const bool datTrace = !runtime::COMMAND("/debugupkeptdat").empty();
  if (perField) WriteTrace("ImportCorvid In");
  AttributeNote() = true;
  const std::string name = InFileName().clipped();
  if (datTrace) WriteTrace("Testing for DAT - " + name);

  NotImported why;
  const auto image = importedImage(name, why, datTrace);
  if (!image) {
    if (why.opened &&
        (datTrace || (why.fault == OldHeaderFault::Unsound && debugLevels().detailTrace)))
      WriteTrace("Not imported: " + name + ": " + why.reason);
    return 0;
  }
  storeImage(*image);
  if (perField) WriteTrace("ImportCorvid Out");
  return 1;
}

bool oldHeaderImports(const std::string& fileName) {
  NotImported why;
  return importedImage(runtime::CLIP(fileName), why, false).has_value();
}

}  // namespace upkeep

#include "upkeep/old_header_import.h"

#include "platform/files/share_lock.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
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

}  // namespace

std::int32_t ImportCorvid() {
  const bool perField = debugLevels().perFieldTrace != 0;
  const bool datTrace = !runtime::COMMAND("/debugupkeptdat").empty();
  if (perField) WriteTrace("ImportCorvid In");
  AttributeNote() = true;
  const std::string name = InFileName().clipped();
  if (datTrace) WriteTrace("Testing for DAT - " + name);

  files::ShareLock lock;
  if (name.empty() ||
      lock.acquire(runtime::toOsPath(name), *files::decodeAccessMode(kReadDenyNone)) != 0) {
    runtime::clearError();
    return 0;
  }
  OldHeaderFault fault = OldHeaderFault::None;
  std::string reason;
  const std::optional<OldHeader> header =
      readOldHeader(OldDescriptorBytes(lock.fd()), &fault, &reason);
  if (!header) {
    if (datTrace || (fault == OldHeaderFault::Unsound && debugLevels().detailTrace))
      WriteTrace("Not imported: " + name + ": " + reason);
    return 0;
  }
  if (datTrace) traceHeader(*header);
  const auto image = oldHeaderImage(*header, &reason);
  if (!image) {
    if (datTrace || debugLevels().detailTrace) WriteTrace("Not imported: " + name + ": " + reason);
    return 0;
  }
  storeImage(*image);
  if (perField) WriteTrace("ImportCorvid Out");
  return 1;
}

}  // namespace upkeep

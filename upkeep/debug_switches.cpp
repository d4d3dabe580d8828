#include "upkeep/debug_switches.h"

#include "platform/runtime/command_line.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/number_text.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

DebugLevels levels;

bool switchGiven(std::string_view name) { return !runtime::COMMAND(name).empty(); }

}  // namespace

const DebugLevels& debugLevels() { return levels; }

void LoadDebugSettings() {
  if (levels.loaded) return;
  levels.loaded = 1;
  if (switchGiven("/debugupkgpf")) {
    levels.inOutTrace = 1;
    levels.perFieldTrace = 1;
    levels.perValueTrace = 1;
  }
  if (switchGiven("/debugupk")) {
    levels.inOutTrace = 1;
    levels.detailTrace = 1;
  }
  bool developerSwitch = false;
  if (switchGiven("/debugupkall")) {
    levels.inOutTrace = 1;
    levels.detailTrace = 1;
    levels.fieldCopyDetail = 1;
    developerSwitch = true;
  }
  if (switchGiven("/debugupkfull")) {
    levels.inOutTrace = 1;
    levels.detailTrace = 1;
    levels.perFieldTrace = 1;
    levels.fieldCopyDetail = 1;
    levels.perValueTrace = 1;
    levels.imageDump = 1;
    developerSwitch = true;
  }
  if (developerSwitch) {
    levels.developerLevel = static_cast<std::int32_t>(runtime::textToLong(
        runtime::GETINI("VendorStaffInternalOnly", "PermitDevTraceForXOnly___Yes", "0")));
  }
  if (switchGiven("/debugwinupk")) levels.windowLevel = 1;
  if (switchGiven("/silentupgrading")) levels.silentUpgrading = 1;
  if (levels.inOutTrace) {
    WriteTrace("Upkeep version: 4.11 Beta");
    WriteTrace("Upkeep debugging level: " + runtime::COMMAND("1"));
  }
  if (levels.developerLevel != 0) {
    WriteTrace("WARNING: Devdbg is turned on - this will reveal passwords!!!");
  }
}

void resetDebugSettings() { levels = DebugLevels{}; }

}  // namespace upkeep

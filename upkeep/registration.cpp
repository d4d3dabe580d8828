#include "upkeep/registration.h"

#include <algorithm>

#include "platform/files/file_declaration.h"
#include "platform/files/sql_connection_handoff.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/call_recorder.h"
#include "upkeep/debug_switches.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_backend.h"
#include "upkeep/trace.h"
#include "upkeep/upkeep_state.h"
#include "upkeep/using_file_work.h"

namespace upkeep {
namespace {

// The value's low byte, as the numeric options keep it.
std::uint8_t numberOption(std::string_view value) {
  return static_cast<std::uint8_t>(runtime::textToLong(value));
}

// `text` upper-cased and cut to `length` bytes.
std::string upperCut(std::string_view text, int length) {
  return runtime::CLIP(runtime::SUB(runtime::UPPER(text), 1, length));
}

void appendRealField(std::string_view key, std::string_view value) {
  RealFieldEntry entry{upperCut(value, 40), runtime::UPPER(key)};
  if (debugLevels().detailTrace) {
    WriteTrace((key == "realfield" ? "RealField: " : "UnRealField: ") + entry.NAME);
  }
  registration().RFQ.push_back(std::move(entry));
}

void traceDeveloper(const std::string& text) {
  if (debugLevels().developerLevel != 0) WriteTrace(text);
}

}  // namespace

std::uint8_t* UpgradingFlagAddress() {
  EntryCallBuilder("UpgradingFlagAddress").send();
  return &upgradingFlag();
}

void ds_SetOption(std::string_view option, std::string_view value) {
  EntryCallBuilder("ds_SetOption").text(option).text(value).send();
  if (debugLevels().inOutTrace) {
    WriteTrace("ds_SetOption: " + runtime::CLIP(option) + " " + runtime::CLIP(value));
  }
  const std::string key = runtime::CLIP(runtime::LOWER(option));
  UpgradeOptions& options = registration().options;
  if (key == "backup") {
    options.backup = numberOption(value);
  } else if (key == "badfile" || key == "usebadfile") {
    options.badFile = numberOption(value);
  } else if (key == "spcreate") {
    options.spCreate = numberOption(value);
  } else if (key == "realfield" || key == "unrealfield") {
    appendRealField(key, value);
  } else if (key == "zeronull") {
    options.zeroNullCopy = numberOption(value);
    options.zeroNullConvert = numberOption(value);
  } else if (key == "blankzero") {
    options.blankZero = numberOption(value);
  } else if (key == "mysqltype") {
    options.mysqlType = upperCut(value, 6);
  } else if (key == "dctmasterfields") {
    options.dctMasterFields = 1;
    traceDeveloper("ds_SetOption: DctMasterFields set");
  } else if (key == "dctmasterkeys") {
    options.dctMasterKeys = 1;
    traceDeveloper("ds_SetOption: DctMasterKeys set");
  } else if (key == "remotemachinename") {
    options.remoteMachineName = runtime::CLIP(runtime::SUB(value, 1, 255));
  } else if (key == "odbcdb") {
    options.ODBCDB = runtime::CLIP(runtime::SUB(value, 1, 50));
  }
}

void ds_AddDriver(std::string_view code, files::FileDeclaration& file, std::int32_t recordSize,
                  std::byte* record) {
  EntryCallBuilder("ds_AddDriver").text(code).file(file).number(recordSize).record(record).send();
  LoadDebugSettings();
  DriverEntry entry{runtime::CLIP(runtime::SUB(code, 1, 3)), file.driver()};
  const std::string upper = runtime::UPPER(entry.NAME);
  if (upper == "COR") registration().CorvidDriverRegistered = 1;
  if (SqlDriverSlot* slot = sqlDriverSlot(upper)) *slot = {&file, record, recordSize};
  if (debugLevels().detailTrace) {
    WriteTrace("Registering driver " + entry.NAME + " " +
               std::to_string(static_cast<int>(entry.PTR)));
  }
  registration().DR.push_back(std::move(entry));
}

void ds_IgnoreDriver(std::string_view label, std::int32_t flags) {
  EntryCallBuilder("ds_IgnoreDriver").text(label).number(flags).send();
  if (debugLevels().inOutTrace) {
    WriteTrace("ds_IgnoreDriver In" + std::string(label) + " " + std::to_string(flags));
  }
  std::vector<IgnoreEntry>& table = registration().IGD;
  IgnoreEntry entry{upperCut(label, 40), flags};
  const auto place =
      std::upper_bound(table.begin(), table.end(), entry,
                       [](const IgnoreEntry& a, const IgnoreEntry& b) { return a.NAME < b.NAME; });
  table.insert(place, std::move(entry));
}

void ds_AlternateFieldName(std::string_view newLabel, std::string_view oldName) {
  EntryCallBuilder("ds_AlternateFieldName").text(newLabel).text(oldName).send();
  registration().AFNS.push_back({upperCut(newLabel, 40), upperCut(oldName, 40)});
}

void ds_UsingFile(std::string_view prefix, std::string_view label, files::FileDeclaration& file,
                  std::int32_t version, std::int32_t unused) {
  EntryCallBuilder("ds_UsingFile")
      .text(prefix)
      .text(label)
      .file(file)
      .number(version)
      .number(unused)
      .send();
  const std::int16_t shortVersion = static_cast<std::int16_t>(version);
  const bool inOut = debugLevels().inOutTrace != 0;
  if (inOut) {
    WriteTrace("UsingFile In " + std::string(label) + " version=" + std::to_string(shortVersion) +
               " prefix=" + std::string(prefix));
  }
  ++profile().usingFile[0];
  if (usingFileEntry(prefix) != nullptr) {
    if (inOut) WriteTrace("UsingFile Out (Optimised) ");
    return;
  }
  if (SqlBackend* backend = sqlBackend()) {
    const files::SqlConnectionHandOff oneConnection;
    backend->LoadVersionInfoQueues(file, shortVersion, prefix, label);
  }
  const std::optional<CatalogueEntryRef> stored = UsingFileWork(file, prefix, label, shortVersion);
  if (!stored) return;
  std::vector<UsingFileEntry>& table = registration().UF;
  UsingFileEntry entry{upperCut(stored->prefix, 20), stored->version,
                       runtime::CLIP(runtime::SUB(label, 1, 40)), &file};
  const auto place = std::upper_bound(
      table.begin(), table.end(), entry,
      [](const UsingFileEntry& a, const UsingFileEntry& b) { return a.PREFIX < b.PREFIX; });
  table.insert(place, std::move(entry));
  if (inOut) WriteTrace("UsingFile Out");
}

}  // namespace upkeep

#include "upkeep/upg_catalogue.h"

#include <algorithm>
#include <cassert>
#include <string>
#include <vector>

#include "platform/files/file_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/catalogue_conversion_wait_window.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/settings_ini.h"
#include "upkeep/trace.h"
#include "upkeep/upg_failure.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

constexpr std::string_view kBaseName = "Upg.Vkf";
constexpr std::string_view kCurrentTable = "\\!Upg2";

std::uint8_t silent = 0;
bool conversionChecked = false;

// The owner password of both tables, put together at run time so that it does not stand in
// the program as one text.
std::string upgOwner() {
  const char pieces[3][3] = {{'g', 'D', 0}, {'k', '7', 0}, {'u', 'P', 0}};
  return std::string(pieces[0]) + pieces[2] + pieces[1];
}

std::uint8_t at(std::span<const std::uint8_t> bytes, std::size_t position) {
  return position < bytes.size() ? bytes[position] : 0;
}

}  // namespace

std::uint8_t& UpgSilent() { return silent; }

void SetUPGFileNames() {
  if (UpgFileName().clipped().empty()) {
    const std::string owner = upgOwner();
    UpgFile().setOwner(owner);
    OldUpgFile().setOwner(owner);
    SetTranslationIni({});
    const std::string folder = upgFolderSetting();
    OldUpgFileName() = folder + std::string(kBaseName);
    UpgFileName() = folder + std::string(kBaseName) + std::string(kCurrentTable);
  }
  if (!runtime::COMMAND("/UpkeptSILENT").empty()) silent = 1;
  if (silentSetting()) silent = 1;
}

ImageComparison compareImages(std::span<const std::uint8_t> stored,
                              std::span<const std::uint8_t> fresh, std::int32_t r,
                              std::string_view label) {
  const bool storedCurrent = at(stored, 0) == '1';
  const bool freshCurrent = at(fresh, 0) == '1';
  if (storedCurrent != freshCurrent) return ImageComparison::Skipped;
  // The stored code stands after the form character of a current image, at the start of an
  // older one.
  const std::size_t codeAt = storedCurrent ? 1 : 0;
  std::string code;
  for (std::size_t i = 0; i < 3; ++i) code.push_back(static_cast<char>(at(stored, codeAt + i)));
  code = runtime::UPPER(code);
  const bool sqlCode = code == "MSS" || code == "ORA" || code == "ASA" || code == "ODB";
  if (code == "MEM") {
    if (debugLevels().fieldCopyDetail) {
      for (std::int32_t p = 0; p < r; ++p)
        WriteTrace("Ignoring MEMORY file..." + std::string(label));
    }
    return ImageComparison::Same;
  }
  // s: the stored bytes, of which the catalogue overwrites some with the new image's.
  std::vector<std::uint8_t> s(static_cast<std::size_t>(std::max(r, 0)) + 2);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = at(stored, i);
  int zeros = 0;
  for (std::size_t p = 0; p < static_cast<std::size_t>(std::max(r, 0)); ++p) {
    if (s[p] == 0) ++zeros;
    if (zeros == 2) s[p + 1] = at(fresh, p + 1);
    if (zeros == 1 && sqlCode) continue;
    if (s[p] != at(fresh, p)) return ImageComparison::Changed;
  }
  return ImageComparison::Same;
}

void ConvertOldUPGTable() {
  files::FileDeclaration& old = OldUpgFile();
  old.setDriverValue(0x7329, "0");
  files::OPEN(old, 0x42);
  if (runtime::ERRORCODE() != 0) return;
  if (files::RECORDS(old) == 0) {
    files::CLOSE(old);
    return;
  }
  UpgRecord& upg = UPG();
  CatalogueConversionWaitWindow wait(files::RECORDS(old), debugLevels().silentUpgrading != 0);
  // All entries or none: a conversion cut short leaves the current table empty, and the next
  // start converts again.
  files::LOGOUT(1, UpgFile());
  const bool inTransaction = runtime::ERRORCODE() == 0;
  bool failed = false;
  std::int64_t count = 0;
  files::SET(old);
  for (files::NEXT(old); runtime::ERRORCODE() == 0; files::NEXT(old)) {
    wait.progress(++count);
    files::CLEAR(UpgFile());
    const bool copied = UpgFormat().setBytes(OldUpgFormat().content());
    assert(copied && "an old image fits the current memo");
    (void)copied;
    upg.LABEL = OUPG().LABEL.view();
    upg.PREFIX = OUPG().PREFIX.view();
    upg.DRIVER = OUPG().DRIVER.view();
    upg.VERSION = OUPG().VERSION;
    upg.EXTRA1 = 0;
    upg.EXTRA2 = 0;
    files::ADD(UpgFile());
    if (runtime::ERRORCODE() != 0 && runtime::ERRORCODE() != runtime::DuplicateKeyErr) {
      failed = true;
      stopUpgFailure();
      break;
    }
  }
  files::CLOSE(old);
  if (!inTransaction) return;
  if (failed) {
    files::ROLLBACK();
    return;
  }
  files::COMMIT();
  if (runtime::ERRORCODE() != 0) stopUpgFailure();
}

void convertOldTableIfEmpty() {
  if (conversionChecked) return;
  conversionChecked = true;
  if (files::RECORDS(UpgFile()) == 0) ConvertOldUPGTable();
}

void resetCatalogue() {
  UpgFileName().clear();
  OldUpgFileName().clear();
  silent = 0;
  conversionChecked = false;
}

}  // namespace upkeep

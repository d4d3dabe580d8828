#include "upkeep/message_catalogue.h"

#include <array>
#include <utility>

#include "platform/runtime/ini_file.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/settings_ini.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

using Message = std::pair<std::string_view, std::string_view>;

constexpr std::array kDefaults = {
    Message{"M1", "Possible file change without changing File Version number. File involved : "},
    Message{"M2", "Unable to Open UPG file : cause "},
    Message{"M3", "Unable to upgrade file which doesn't have a prefix :"},
    Message{"M4", "Unable to upgrade file - Not \"Using\" file "},
    Message{"M5", "Unable to upgrade file - no file name available;"},
    Message{"M6",
            "Unable to upgrade file - Error creating destination file.\r\nThe file could be open "
            "already in another instance of the application.\r\nFile : "},
    Message{"M7", "Unable to upgrade file - Error reading source file "},
    Message{"M8", "Error Writing destination file "},
    Message{"M9", "Unable to upgrade. Error occured opening (share) the file."},
    Message{"M10", "Warning - Driver not located - GPF likely"},
    Message{"M11",
            "Unable to open file. Errorcode 90 received. Are you sure your Connection details are "
            "correct?"},
    Message{"M12", "Please wait - Upgrading file"},
    Message{"M13", "Memo file missing"},
    Message{"M14", "Internal File Format Too Large. File :"},
    Message{"M15", "Unable to upgrade. Access to the existing file has been denied."},
    Message{"M16", "Please wait - Copying file"},
    Message{"M17", "Please wait - Building Keys"},
    Message{"M18", "Please wait - Refreshing file"},
    Message{"M19", "File Corrupt. Restart program to invoke Reviver."},
    Message{"M20", "Error: No connection string found for this file:"},
    Message{"M21", "Error: File not in Manageable Zone!"},
    Message{"M22", "Error Creating / Opening Upkeep System File: "},
    Message{"M23", "Error getting IncomingVersionQ: "},
    Message{"M24", "Error occurred inserting Upkeep System file: "},
    Message{"M25", "Error occurred updating Upkeep System file: "},
    Message{"M26", "Error occurred executing SQL Statement:"},
    Message{"M27", "Unrecognised Datatype: "},
    Message{"M28",
            "WARNING: This file already contains an AUTONUMBER field; Only 1 per file permitted! "
            "Field: "},
    Message{"M29", "Unable to create TableSpace: "},
    Message{"M30",
            "Errors occurred during Upkeep upgrade! Please contact your application "
            "supplier.\r\nSQL Error: "},
    Message{"M32", "SQL WARNING ABOVE - take note!"},
    Message{"M33",
            "Please ensure you have the FireBird Client DLL installed on your workstation: "
            "gds32.dll. Upkeep File error on final open. Also make sure your Connection details "
            "are correct (User, password, etc)"},
    Message{"M34", "Unable to interpret SQL structure: "},
    Message{"M35",
            "Upkeep cannot manage this file. Could not configure your SQL Server as a Linked "
            "Server! "},
    Message{"M36",
            "Could not configure SQL Server for DATA ACCESS! Upkeep cannot manage this file! "
            "Error: "},
    Message{"M37",
            "Unable to open file. Check to be sure the Pervasive Database Engine is running."},
    Message{"M38", "Could not locate key field: "},
    Message{"M39", "Could not reconnect ASA: "},
    Message{"M40",
            "Upkeep has detected a MEMO in your file declaration! SQL does not support MEMO. "
            "Please change these to CStrings."},
    Message{"M41", "Unable to open Upkeep System File:"},
    Message{"M43", "Attempted using an Invalid field type for creating a unique index/constraint."},
    Message{"M44", "Attempted creating an index/constraint greater than the permitted size."},
    Message{"M45", "Would you like to End the Program?"},
    Message{"M46", "Ending Program!"},
    Message{"M47", "Upkeep Error"},
    Message{"M48", "Attempting to create a key with a reserved keyname:"},
    Message{"M49", "Attempting an illegal field type conversion. Field: "},
    Message{"M60", "Interpreting File Structures... "},
    Message{"M61", "Creating New SQL Table... "},
    Message{"M62", "Comparing File Structures... "},
    Message{"M63", "Executing upgrade scripts... "},
    Message{"M64", "Reading Keys... "},
    Message{"M65", "Reading Memos... "},
    Message{"M66", "Reading Fields... "},
    Message{"M67",
            "Attempting to create an Invalid Fieldname in the database. The fieldname cannot be "
            "longer than 32 characters. Contact your application supplier. Field: "},
    Message{"C1", "Connect to SQL Database..."},
    Message{"C2", "Connect to Microsoft SQL Database..."},
    Message{"C3", "Connect to Oracle SQL Database..."},
    Message{"C4", "Connect to Sybase SQL Database..."},
    Message{"C5", "Connect to ODBC SQL Database..."},
    Message{"C6",
            "Variable used for information to connect to the SQL backend is too small to contain "
            "all the information required. Consult your application supplier"},
    Message{"Ol1", "Options >>"},
    Message{"Ol2", "<< Options"},
};

// The code as the catalogue keeps it: its first three characters.
std::string_view codeSlot(std::string_view code) { return code.substr(0, 3); }

// The code under which the default text of `code` is kept: the first two messages may also be
// asked for with a leading zero.
std::string_view defaultCode(std::string_view code) {
  if (code == "M01") return "M1";
  if (code == "M02") return "M2";
  return code;
}

std::string padded(std::string_view text) {
  std::string result = runtime::SUB(text, 1, kMessageLength);
  result.resize(kMessageLength, ' ');
  return result;
}

}  // namespace

std::string DefaultMessageText(std::string_view code) {
  code = defaultCode(codeSlot(code));
  for (const auto& [known, text] : kDefaults) {
    if (known == code) return std::string(text);
  }
  return {};
}

void TranslationEntry(std::string_view code) {
  const std::string ini = settingsIniName();
  if (!runtime::GETINI(kMessagesSection, code, {}, ini).empty()) return;
  const std::string text = DefaultMessageText(code);
  if (text.empty()) return;
  if (debugLevels().detailTrace) {
    WriteTrace("Writing into translation file: " + std::string(code) + " Message: " + text);
  }
  runtime::PUTINI(kMessagesSection, code, text, ini);
}

std::string ds_GetMessage(std::string_view code, int writeAll) {
  if (writeAll == 0 && !code.empty()) {
    code = codeSlot(code);
    return padded(
        runtime::GETINI(kMessagesSection, code, DefaultMessageText(code), settingsIniName()));
  }
  LoadDebugSettings();
  if (debugLevels().detailTrace) {
    WriteTrace("Creating translation file: " + settingsIniName());
  }
  const std::pair<std::string_view, int> series[] = {{"M", 99}, {"C", 10}, {"Ol", 9}};
  for (const auto& [letters, last] : series) {
    for (int number = 1; number <= last; ++number) {
      TranslationEntry(std::string(letters) + std::to_string(number));
    }
  }
  return {};
}

std::string messageText(std::string_view code) { return runtime::CLIP(ds_GetMessage(code)); }

}  // namespace upkeep

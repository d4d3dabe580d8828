#include "upkeep/message_catalogue.h"

#include <gtest/gtest.h>

#include "platform/runtime/paths.h"

#include <utility>

#include "platform/runtime/ini_file.h"
#include "tests/support/scratch_folder.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/settings_ini.h"

namespace upkeep {
namespace {

using support::readFile;
using support::writeFile;

class MessageCatalogueTest : public testing::EngineTest {};

// Every code with its text as users read it; the codes between them have none.
const std::pair<const char*, const char*> kCatalogue[] = {
    {"M1", "Possible file change without changing File Version number. File involved : "},
    {"M2", "Unable to Open UPG file : cause "},
    {"M3", "Unable to upgrade file which doesn't have a prefix :"},
    {"M4", "Unable to upgrade file - Not \"Using\" file "},
    {"M5", "Unable to upgrade file - no file name available;"},
    {"M6",
     "Unable to upgrade file - Error creating destination file.\r\n"
     "The file could be open already in another instance of the application.\r\nFile : "},
    {"M7", "Unable to upgrade file - Error reading source file "},
    {"M8", "Error Writing destination file "},
    {"M9", "Unable to upgrade. Error occured opening (share) the file."},
    {"M10", "Warning - Driver not located - GPF likely"},
    {"M11",
     "Unable to open file. Errorcode 90 received. Are you sure your Connection details are "
     "correct?"},
    {"M12", "Please wait - Upgrading file"},
    {"M13", "Memo file missing"},
    {"M14", "Internal File Format Too Large. File :"},
    {"M15", "Unable to upgrade. Access to the existing file has been denied."},
    {"M16", "Please wait - Copying file"},
    {"M17", "Please wait - Building Keys"},
    {"M18", "Please wait - Refreshing file"},
    {"M19", "File Corrupt. Restart program to invoke Reviver."},
    {"M20", "Error: No connection string found for this file:"},
    {"M21", "Error: File not in Manageable Zone!"},
    {"M22", "Error Creating / Opening Upkeep System File: "},
    {"M23", "Error getting IncomingVersionQ: "},
    {"M24", "Error occurred inserting Upkeep System file: "},
    {"M25", "Error occurred updating Upkeep System file: "},
    {"M26", "Error occurred executing SQL Statement:"},
    {"M27", "Unrecognised Datatype: "},
    {"M28",
     "WARNING: This file already contains an AUTONUMBER field; Only 1 per file permitted! "
     "Field: "},
    {"M29", "Unable to create TableSpace: "},
    {"M30",
     "Errors occurred during Upkeep upgrade! Please contact your application supplier.\r\n"
     "SQL Error: "},
    {"M31", ""},
    {"M32", "SQL WARNING ABOVE - take note!"},
    {"M33",
     "Please ensure you have the FireBird Client DLL installed on your workstation: gds32.dll. "
     "Upkeep File error on final open. Also make sure your Connection details are correct "
     "(User, password, etc)"},
    {"M34", "Unable to interpret SQL structure: "},
    {"M35",
     "Upkeep cannot manage this file. Could not configure your SQL Server as a Linked Server! "},
    {"M36",
     "Could not configure SQL Server for DATA ACCESS! Upkeep cannot manage this file! Error: "},
    {"M37", "Unable to open file. Check to be sure the Pervasive Database Engine is running."},
    {"M38", "Could not locate key field: "},
    {"M39", "Could not reconnect ASA: "},
    {"M40",
     "Upkeep has detected a MEMO in your file declaration! SQL does not support MEMO. Please "
     "change these to CStrings."},
    {"M41", "Unable to open Upkeep System File:"},
    {"M42", ""},
    {"M43", "Attempted using an Invalid field type for creating a unique index/constraint."},
    {"M44", "Attempted creating an index/constraint greater than the permitted size."},
    {"M45", "Would you like to End the Program?"},
    {"M46", "Ending Program!"},
    {"M47", "Upkeep Error"},
    {"M48", "Attempting to create a key with a reserved keyname:"},
    {"M49", "Attempting an illegal field type conversion. Field: "},
    {"M50", ""},
    {"M59", ""},
    {"M60", "Interpreting File Structures... "},
    {"M61", "Creating New SQL Table... "},
    {"M62", "Comparing File Structures... "},
    {"M63", "Executing upgrade scripts... "},
    {"M64", "Reading Keys... "},
    {"M65", "Reading Memos... "},
    {"M66", "Reading Fields... "},
    {"M67",
     "Attempting to create an Invalid Fieldname in the database. The fieldname cannot be longer "
     "than 32 characters. Contact your application supplier. Field: "},
    {"M68", ""},
    {"C1", "Connect to SQL Database..."},
    {"C2", "Connect to Microsoft SQL Database..."},
    {"C3", "Connect to Oracle SQL Database..."},
    {"C4", "Connect to Sybase SQL Database..."},
    {"C5", "Connect to ODBC SQL Database..."},
    {"C6",
     "Variable used for information to connect to the SQL backend is too small to contain all "
     "the information required. Consult your application supplier"},
    {"C7", ""},
    {"Ol1", "Options >>"},
    {"Ol2", "<< Options"},
    {"Ol3", ""},
    // A leading zero is taken for the first two messages only.
    {"M01", "Possible file change without changing File Version number. File involved : "},
    {"M02", "Unable to Open UPG file : cause "},
    {"M03", ""},
    // Only the first three characters of a code count.
    {"M19x", "File Corrupt. Restart program to invoke Reviver."},
    {"m19", ""},
};

TEST_F(MessageCatalogueTest, EveryCodeHasItsTextPaddedTo255WithoutAnIniFile) {
  for (const auto& [code, text] : kCatalogue) {
    EXPECT_EQ(DefaultMessageText(code), text) << code;
    const std::string message = ds_GetMessage(code);
    ASSERT_EQ(message.size(), 255u) << code;
    EXPECT_EQ(message.substr(0, std::string_view(text).size()), text) << code;
    EXPECT_EQ(message.find_first_not_of(' ', std::string_view(text).size()), std::string::npos);
  }
  EXPECT_TRUE(takeTrace().empty()) << "no switch, no trace";
}

TEST_F(MessageCatalogueTest, AnEntryOfTheSettingsIniReplacesTheDefault) {
  writeFile(settingsIni(),
            "[Messages]\nM19=Datei defekt.\nM11=\nM31=Only here\n[Other]\nM12=not messages\n");
  const std::pair<const char*, const char*> cases[] = {
      {"M19", "Datei defekt."},  // replaced
      {"M11", ""},               // present but empty: empty
      {"M31", "Only here"},      // a code without a default may still be given a text
      {"M12", "Please wait - Upgrading file"},  // another section does not count
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(messageText(code), text) << code;
}

TEST_F(MessageCatalogueTest, ADamagedOrUnreadableIniGivesTheDefaults) {
  writeFile(settingsIni(), std::string("\0\xff[Messages\nM19\n=\n\x01\x02", 14));
  EXPECT_EQ(messageText("M19"), "File Corrupt. Restart program to invoke Reviver.");
}

TEST_F(MessageCatalogueTest, WritingTheCatalogueKeepsEntriesAndIsStableTheSecondTime) {
  writeFile(settingsIni(), "[Messages]\nM19=Kept as it is\n");
  EXPECT_EQ(ds_GetMessage("", 0), "");
  const std::string first = readFile(settingsIni());
  EXPECT_EQ(ds_GetMessage("M1", 1), "");
  EXPECT_EQ(readFile(settingsIni()), first) << "the second writing changes nothing";

  EXPECT_EQ(runtime::GETINI("Messages", "M19", {}, settingsIni()), "Kept as it is");
  for (const char* code : {"M1", "M4", "M67", "C6", "Ol2"}) {
    EXPECT_EQ(runtime::GETINI("Messages", code, "missing", settingsIni()), DefaultMessageText(code))
        << code;
  }
  // Codes without a text are not written; the two-line texts cannot be one INI line and are
  // left to their defaults instead of breaking the file.
  for (const char* code : {"M31", "M42", "M99", "C7", "Ol9", "M6", "M30"}) {
    EXPECT_EQ(runtime::GETINI("Messages", code, "missing", settingsIni()), "missing") << code;
  }
  EXPECT_EQ(ds_GetMessage("M6").substr(0, DefaultMessageText("M6").size()),
            DefaultMessageText("M6"));
  EXPECT_EQ(ds_GetMessage("M1").substr(0, DefaultMessageText("M1").size()),
            DefaultMessageText("M1"));
}

TEST_F(MessageCatalogueTest, TheSettingsIniIsNamedOnceInTheProgramsFolder) {
  SetTranslationIni("");
  EXPECT_EQ(settingsIniName(), settingsIni()) << "an empty name keeps the name set";
  resetSettingsIni();
  const std::string ini = settingsIniName();
  EXPECT_EQ(ini.substr(ini.size() - 11), "/Upkeep.Ini");
  SetTranslationIni("Other.ini");
  EXPECT_EQ(settingsIniName(), ini.substr(0, ini.size() - 10) + "Other.ini");
}

TEST_F(MessageCatalogueTest, TheUpgFolderAndSilentSwitchComeFromTheSettingsIni) {
  const std::string dataFolder = runtime::currentDirectory() + "\\";
  EXPECT_EQ(upgFolderSetting(), dataFolder);
  EXPECT_FALSE(silentSetting());
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"[Upkept]\nPath=/data/upg\n[Command]\nSilent=true\n", "/data/upg\\", true},
      {"[Upkept]\nPath=/data/upg/\n[Command]\nSilent=TRUE\n", "/data/upg/", true},
      {"[Upkept]\nPath=\n[Command]\nSilent=yes\n", dataFolder, false},
  };
  for (const auto& [content, folder, silent] : cases) {
    writeFile(settingsIni(), content);
    EXPECT_EQ(upgFolderSetting(), folder) << content;
    EXPECT_EQ(silentSetting(), silent) << content;
  }
}

}  // namespace
}  // namespace upkeep

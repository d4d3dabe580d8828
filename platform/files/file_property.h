// File properties: values of a FILE declaration read and written by number. Every value is
// text; numbers read as decimal text. Field properties take the field's 1-based number as
// their index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/file_declaration.h"

namespace files {

enum FileProperty : std::uint32_t {
  PropSqlStatement = 0x7200,   // the SQL statement; on a SQL FILE writing it sends it
  PropSqlSetting43 = 0x7243,   // written once on a SQL system table after it opens; kept
  PropSqlSetting45 = 0x7245,   // likewise
  PropSqlOpenFlag = 0x7246,    // a per-open flag of the SQL drivers; kept
  PropServerVersion = 0x724A,  // the server's version text behind a SQL file; read only
  PropDriverName = 0x730D,     // "CASKFILE", "ASCII", "DOS", "MSSQL", ...
  PropKeyCount = 0x730F,
  PropFieldCount = 0x7312,
  PropOwner = 0x7315,           // read and written
  PropName = 0x7316,            // index 0: the file's name; i: field i's external name;
                                // -m: memo m's external name
  PropLabel = 0x7317,           // index 0: the file's label; i: field i's label
  PropPlaces = 0x7322,          // DECIMAL, PDECIMAL field i: digits after the point; else 0
  PropDimensions = 0x7323,      // field i: its number of elements, 0 when it is no array
  PropOver = 0x7324,            // field i: the number of the field it lies over, 0 none
  PropDriverOpenFlag = 0x7329,  // a per-open flag of the driver; kept
  PropPrefix = 0x7354,
  PropFieldType = 0x7C01,  // field i: its type code
  PropDigits = 0x7CB9,     // DECIMAL, PDECIMAL field i: its number of digits; else 0
  PropCreate = 0x7CC6,     // the create attribute: 1 when set, else 0
};

// Property `number` of `file` for `index`. The name reads as the name the file is open under,
// or, while it is closed, the name an open would use now. An unknown number, or an index that
// names no field or memo, reads as empty text.
std::string getProperty(const FileDeclaration& file, std::uint32_t number, int index = 0);

// Writes property `number`: the owner, or one of the values the SQL drivers act on (7200h,
// 7243h, 7245h, 7246h, 7329h), kept on the declaration as given. On a SQL FILE, 7200h also
// sends the statement (sql_driver.h), leaving its outcome in the error state. Answers false,
// changing nothing, for the other properties (they are read only) and for unknown numbers.
bool setProperty(FileDeclaration& file, std::uint32_t number, std::string_view value);

}  // namespace files

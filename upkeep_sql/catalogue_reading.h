// The frame every live-table structure loader shares: a catalogue statement sent through the
// current backend FILE (a refusal reported and the load failed, never read as an empty
// table), its answer read row by row into SqlRowBuffer, and the entries of SFDQ and SKDQ
// built and marked the same way for every backend.
#pragma once

#include <string>
#include <string_view>

#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {

// In/out trace "-- Start of " + `loader` + "  --".
void traceLoaderStart(std::string_view loader);

// Sends `statement` at level 0. A refusal reports `message` (M34 unless given) with `tag` +
// FILEERRORCODE + `separator` + FILEERROR at level 1 and answers false.
bool runCatalogueStatement(const std::string& statement, std::string_view tag,
                           std::string_view separator, std::string_view message = "M34");

// The next answer row into SqlRowBuffer; false (buffer unchanged) when there is none.
bool nextAnswerRow();

// The answer's one row into SqlRowBuffer. An empty answer leaves the buffer blank, so that no
// earlier row is read as this answer; false then.
bool readAnswerOnce();

// Holds columns 1 to `columns` of the current answer row in TIQ.
void holdAnswerRow(int columns);

// Reads the constraint rows of a key's name (column 1 the constraint's name, column 2 its
// type): `primaryType` makes the key the primary key, `uniqueType` a unique constraint, both
// constraints (INDEX 0); the first row of another type ends the reading. Answers the name of
// the constraint the key became, blank when it is none.
std::string applyConstraintRows(SkdqEntry& key, std::string_view primaryType,
                                std::string_view uniqueType);

// Adds `column` to SFDQ (MATCH and DEPENDANT 0) and, under the detail switch or /debugNulls,
// traces "Field in SQL db: ".
void addLiveColumn(SfdqEntry column);

// A key entry whose first component is `column` (descending: -1).
SkdqEntry keyStartingWith(std::string_view keyName, std::string_view keyFileName,
                          std::string_view column, bool descending);

// Appends component `column` to `key`. `leadingBlank` joins as SQL Server, Firebird and
// PostgreSQL do: the old list left-justified and clipped, a blank, the name, so that a list
// that was empty begins with a blank.
void addKeyComponent(SkdqEntry& key, std::string_view column, bool descending, bool leadingBlank);

// Marks the SFDQ column `column` (upper-cased first when `upperCase`) as a key component; a
// column not loaded is reported with M38 at level 0 and nothing changes.
void markDependantColumn(std::string_view column, bool upperCase = true);

// A server's exact-number type word as the table creation writes it: "decimal(8,0)" becomes
// "decimal(8)", as a DECIMAL without places is declared; any other word is returned as it is.
std::string withoutZeroScale(std::string_view type);

// The SFDQ entry named `name` exactly; nullptr when there is none.
SfdqEntry* liveColumn(std::string_view name);

}  // namespace upkeep_sql

// The conversion of a local file into a SQL table between the table's creation and the backup
// of the old file. The open that is about to create the table writes the table's upgrade marker
// first (unfinished, naming the old file, no backup yet) and holds it, so that a crash from then
// on leaves a marker the next open settles (upgrade_marker.h): the empty table is dropped and the
// old file converted again. The conversion takes the marker over when it has made its backup;
// an open that ends before that settles the marker itself.
#pragma once

namespace files {
class FileDeclaration;
}

namespace upkeep {

// Writes and holds the marker of the SQL table `table` (closed), which is about to be created
// for a conversion. The marker names the old file the conversion will read: the one the
// old-name list gives the table when it stands, else the old .DAT file that the structure
// search takes last (structure_search.h: oldDataSourceOf). Nothing when there is neither. False
// when the marker cannot be written: the table must not be made.
bool markConversionPending(const files::FileDeclaration& table);

// True while a marker written by markConversionPending is held and not taken over.
bool conversionPending();

// The conversion's own marker names its backup now: the pending marker is given up.
void takeOverPendingConversion();

// Ends the open's pending conversion, if any. `tableMade`: the table was created under the
// marker. A table that was not made leaves only the marker to remove. A made one, which holds
// no record yet, is settled as a crash would leave it: while the old file stands it is dropped,
// so that the next open converts again. Answers false when the open must fail: the table was
// dropped, or the marker could not be settled.
bool endPendingConversion(files::FileDeclaration& table, bool tableMade);

}  // namespace upkeep

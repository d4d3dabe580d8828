// The least driver of old data files (files::Driver::Corvid) that an upgrade needs to copy
// their records: it reads them in file order and nothing else.
//
// What it reads, all from the header (old_header.h): the stored records start at T.OFFSET and
// take T.RECLEN bytes each, a prefix of 5 bytes then the record's fields (T.RECLEN - 5 bytes,
// the record length of the structure the header import describes). Deleted records form a
// chain: T.FREEREC is the 1-based number of the first, and bytes 1 to 4 of each deleted
// record's prefix (a LONG) the number of the next, 0 ending it. A file opens only when all of
// it agrees: the header is sound, the data offset lies after the header's records and within
// the file, the file ends on a whole record, the chain holds T.NDELS distinct records of the
// file, and T.NRECS + T.NDELS is the number of stored records. Anything else, an encrypted
// file and a file with a memo (whose records or memo file this driver cannot read) are
// refused with 36, so the search leaves such a file exactly as it is.
//
// NEXT skips deleted records, RECORDS is T.NRECS, SET starts again at the first record;
// STREAM, FLUSH and SEND are accepted and do nothing. CREATE, REMOVE, RENAME and COPY are
// those of plain files; nothing is ever written.
#pragma once

#include <string>

#include "platform/files/file_driver.h"

namespace upkeep {

files::FileDriver& corvidDriver();

// True when the driver reads the records of the file named `fileName` with the structure its
// own header gives: all of it agrees as above, it is neither encrypted nor has a memo. Only
// reads the file (deny none); leaves the error state clear.
bool oldDataRecordsReadable(const std::string& fileName);

}  // namespace upkeep

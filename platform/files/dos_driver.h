// The DOS driver: a file of raw bytes.
//
// GET(file, position, length) reads `length` bytes (at most the record length) from the
// 1-based byte `position` into the start of the record buffer; a read that starts past the
// end fails with 35, one that runs past the end is zero-filled. SET and NEXT read the file in
// pieces of the record length (the last piece zero-filled), ADD appends the record buffer,
// PUT writes it back where the last GET or NEXT read, RECORDS is the number of pieces.
// Keys, PREVIOUS and DELETE are not supported (80).
#pragma once

#include "platform/files/file_driver.h"

namespace files {

FileDriver& dosDriver();

}  // namespace files

// The ASCII line driver: a text file in which one record is one line.
//
// NEXT reads the next line into the record buffer: the buffer is blanked (CLEAR) and the
// line's bytes are copied to its start, cut to the record length without splitting a
// character; lines end with LF, and a CR before it is dropped. ADD appends the record buffer
// as a line: its text up to the first NUL byte with trailing spaces dropped (a STRING record
// is padded with spaces, which are not part of the line), then LF. SET starts again at the
// first line; RECORDS counts the lines. CREATE makes an empty file. Keys, PREVIOUS, PUT and
// DELETE are not supported (80).
#pragma once

#include "platform/files/file_driver.h"

namespace files {

FileDriver& asciiDriver();

}  // namespace files

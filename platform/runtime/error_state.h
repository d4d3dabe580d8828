// The calling thread's error state: the runtime's error number, its text, and the driver's own
// code and text. Every statement that can fail sets it; callers read it right after.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Error numbers the runtime and its drivers report.
enum ErrorCode : int {
  NoError = 0,
  FileNotFoundErr = 2,
  PathNotFoundErr = 3,
  AccessDeniedErr = 5,
  OutOfMemoryErr = 8,
  EntryNotFoundErr = 30,
  RecordNotFoundErr = 35,
  InvalidDataFileErr = 36,
  DuplicateKeyErr = 40,
  KeyFileRebuildErr = 46,
  InvalidRecordDeclarationErr = 47,
  FileAlreadyOpenErr = 52,
  MemoFileMissingErr = 73,
  BadFieldNumberErr = 75,
  InvalidIndexErr = 76,
  InvalidKeyLengthErr = 88,
  FileSystemErr = 90,
};

// The last error number of the calling thread; 0 after a statement that succeeded.
int ERRORCODE();
// The text of the last error ("File Not Found" for 2); empty when there is none.
std::string ERROR();
// The driver's own error code as text (an SQLSTATE for SQL drivers), at most 80 characters.
std::string FILEERRORCODE();
// The driver's own error text, at most 256 characters.
std::string FILEERROR();

// The runtime's text for an error number; a number it does not know reads "Error <n>".
std::string errorText(int code);

// Sets the calling thread's error number and clears the driver's code and text.
void setError(int code);
// Sets the error number together with the driver's own code and text (cut to their limits).
void setFileError(int code, std::string_view driverCode, std::string_view driverText);
// Clears the calling thread's error state (error 0).
void clearError();

}  // namespace runtime

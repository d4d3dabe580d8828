// The runtime's error numbers for the errno values of system calls.
#pragma once

namespace runtime {

// The error number for `osError`, an errno value of a file or process operation: 2 for a missing
// file, 3 for a missing or unusable folder on the way, 5 for no permission or a read-only file
// system, 8 for no memory and 90 for anything else.
int errorFromErrno(int osError);

}  // namespace runtime

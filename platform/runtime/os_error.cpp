#include "platform/runtime/os_error.h"

#include <cerrno>

#include "platform/runtime/error_state.h"

namespace runtime {

int errorFromErrno(int osError) {
  switch (osError) {
    case 0: return NoError;
    case ENOENT: return FileNotFoundErr;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return PathNotFoundErr;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return AccessDeniedErr;
    case ENOMEM:
    case E2BIG: return OutOfMemoryErr;
    default: return FileSystemErr;
  }
}

}  // namespace runtime

#include "platform/runtime/error_state.h"

#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

struct ErrorState {
  int code = 0;
  std::string driverCode;
  std::string driverText;
};

thread_local ErrorState state;

constexpr std::size_t kDriverCodeLimit = 80;
constexpr std::size_t kDriverTextLimit = 256;

}  // namespace

int ERRORCODE() { return state.code; }

std::string ERROR() { return state.code == 0 ? std::string() : errorText(state.code); }

std::string FILEERRORCODE() { return state.driverCode; }

std::string FILEERROR() { return state.driverText; }

std::string errorText(int code) {
  switch (code) {
    case 0: return {};
    case 2: return "File Not Found";
    case 3: return "Path Not Found";
    case 4: return "Too Many Open Files";
    case 5: return "Access Denied";
    case 8: return "Insufficient Memory";
    case 30: return "Entry Not Found";
    case 32: return "File Is Already Locked";
    case 33: return "Record Is Not Available";
    case 35: return "Record Not Found";
    case 36: return "Invalid Data File";
    case 37: return "File Not Open";
    case 40: return "Creates Duplicate Key";
    case 43: return "Record Is Already Held";
    case 46: return "Key File Must Be Rebuilt";
    case 47: return "Invalid Record Declaration";
    case 52: return "File Already Open";
    case 54: return "No Create Attribute";
    case 73: return "Memo File Missing";
    case 75: return "Invalid Field Type Descriptor";
    case 76: return "Invalid Index";
    case 80: return "Function Not Supported";
    case 88: return "Invalid Key Length";
    case 89: return "Record Changed By Another Station";
    case 90: return "File System Error";
    case 801: return "Invalid Filter Expression";
    default: return "Error " + std::to_string(code);
  }
}

void setError(int code) {
  state.code = code;
  state.driverCode.clear();
  state.driverText.clear();
}

void setFileError(int code, std::string_view driverCode, std::string_view driverText) {
  state.code = code;
  state.driverCode = std::string(utf8Prefix(driverCode, kDriverCodeLimit));
  state.driverText = std::string(utf8Prefix(driverText, kDriverTextLimit));
}

void clearError() { setError(0); }

}  // namespace runtime

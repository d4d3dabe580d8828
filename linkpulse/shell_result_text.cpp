#include "linkpulse/shell_result_text.h"

namespace linkpulse {

std::string shellResultText(int result) {
  switch (result) {
    case 0: return "The Operating system is out of memory/resources. File:|";
    case 2: return "The specified file was not found. File:|";
    case 3: return "The specified path was not found. File:|";
    case 5: return "The operating system denied access to the specified file. File:|";
    case 8: return "There was not enough memory to complete the operation. File:|";
    case 11:
      return "The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image). File:|";
    case 26: return "A sharing violation occurred. File:|";
    case 27: return "The file name association is incomplete or invalid. File:|";
    case 28:
      return "The DDE transaction could not be completed because the request timed out. File:|";
    case 29: return "The DDE transaction failed. File:|";
    case 30:
      return "The DDE transaction could not be completed because other DDE transactions were "
             "being processed. File:|";
    case 31: return "There is no application associated with the given file name extension. File:|";
    case 32: return "The specified dynamic-link library was not found. File:|";
    default: return "Unknown ShellExecute Error occured. File:|";
  }
}

}  // namespace linkpulse

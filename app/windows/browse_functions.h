// browse_functions, the "AGK Functions Database" window: the functions of the func file in a
// list with the quick filter over each record and its example code, a sort by column heading,
// the chosen function's code, description, poster and forum link under the list, and Insert,
// Change and Delete through update_functions.
#pragma once

#include <string_view>

#include "app/dictionary/records.h"
#include "linkpulse/link_system.h"
#include "platform/runtime/record_layout.h"

namespace app {

inline constexpr std::string_view kBrowseFunctionsKey = "game_dock$game_dock015";
inline constexpr std::string_view kBrowseFunctionsLabel = "P1$WINDOW";

enum BrowseFunctionsControl : int {
  kFunctionsFindSwitch = 3,
  kFunctionsFindEntry = 5,
  kFunctionsList = 6,
  kFunctionsCode = 7,
  kFunctionsUser = 9,
  kFunctionsIgnoreCase = 10,
  kFunctionsIncludeMemo = 11,
  kFunctionsDescription = 12,
  kFunctionsForumLink = 13,
  kFunctionsInsert = 14,
  kFunctionsChange = 15,
  kFunctionsDelete = 16,
  kFunctionsClose = 17,
};

// The list's icons: a complete working example, any other snippet.
enum FunctionsIcon : int { kIconWorkingCode = 1, kIconSnippet = 2 };

inline constexpr std::string_view kFunctionsListFormat =
    "12L(2)I@p p@396L(2)|M@s99@1020L(2)|M@s255@1020L(2)|M@s255@1016L(2)|M@s254@";

// A row of the list: the working-code flag and its icon, the function's fields and its
// example code.
struct FunctionsRow {
  Byte FULLCODE;
  Long FULLCODE_ICON;
  CString<100> NAME;
  CString<1024> DESCRIPTION;
  CString<64000> EXAMPLECODE;
  CString<255> FORUMLINK;
  Long ID;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout();
};

// Adds the window resource of browse_functions and makes it the procedure that runs for
// WindowProcedure::browse_functions (module 015's process start calls it).
void addBrowseFunctionsResource();

// Opens the window for the request in the thread's request byte (6: view only, nothing can be
// changed; 4: select, "Close" cancels) and runs it until it closes; its response goes to the
// response byte. Forum links open through `links`.
void browse_functions(linkpulse::LinkSystem& links = linkpulse::osLinkSystem());

}  // namespace app

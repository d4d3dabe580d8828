// The process-wide settings that the windows share (not thread-scoped); all start empty.
#pragma once

#include "platform/runtime/text_types.h"

namespace app {

struct Globals {
  runtime::CString<255> PROJECT;      // the current project file ("Open Project:")
  runtime::CString<255> BASEPATH;     // the folder new projects are created under
  runtime::CString<255> DESCRIPTION;  // the new project's description and folder name
  runtime::CString<255> PROJECTNAME;  // the new project's file name, without extension
  runtime::CString<50> CATEGORY;      // the category chosen on the main window or New_Project
  runtime::CString<255> MAINAGCFILE;  // the main.agc being written: the name of mainagc
};

// GLO:PROJECT is GLO.PROJECT and so on.
extern Globals GLO;
// The paths of the Classic and Studio IDE executables.
extern runtime::CString<255> CLASSICEXE;
extern runtime::CString<255> STUDIOEXE;

}  // namespace app

#include "app/dictionary/globals.h"

namespace app {

Globals GLO;
runtime::CString<255> CLASSICEXE;
runtime::CString<255> STUDIOEXE;

}  // namespace app

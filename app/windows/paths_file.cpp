#include "app/windows/paths_file.h"

#include "app/dictionary/globals.h"
#include "platform/runtime/ini_file.h"

namespace app {

void readPathsFile() {
  CLASSICEXE = runtime::GETINI(kPathsSection, "classic", "", kPathsFile);
  STUDIOEXE = runtime::GETINI(kPathsSection, "studio", "", kPathsFile);
  GLO.BASEPATH = runtime::GETINI(kPathsSection, "basepath", "", kPathsFile);
}

bool writePathsFile() {
  return runtime::PUTINI(kPathsSection, "classic", CLASSICEXE.view(), kPathsFile) &&
         runtime::PUTINI(kPathsSection, "studio", STUDIOEXE.view(), kPathsFile) &&
         runtime::PUTINI(kPathsSection, "basepath", GLO.BASEPATH.view(), kPathsFile);
}

}  // namespace app

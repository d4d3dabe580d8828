// The program's icons, drawn in code so that they are sharp at every size and screen density:
// the names that windows, lists and message boxes use ("dockmark.ico", "~CHECK1.ICO",
// "~question.ico" ...). A name that is not one of ours is read from the file it names.
#pragma once

#include <QIcon>
#include <string_view>

namespace qtui {

// The icon of a name (compared without "~", folder, extension and letter case); a null icon
// when it is neither drawn by us nor a readable image file.
QIcon iconOf(std::string_view name);

// True when `name` is one of the icons drawn by us.
bool isDrawnIcon(std::string_view name);

}  // namespace qtui

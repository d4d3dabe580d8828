// The desktop's base folders for settings and data, from the XDG_* environment variables with
// their usual defaults. A variable that is unset, empty or not an absolute path counts as unset;
// so does each relative entry of a folder list. Read anew at every call, so tests may change them.
#pragma once

#include <string>
#include <vector>

namespace os {

// $XDG_CONFIG_HOME, else $HOME/.config.
std::string configHome();
// The folders of $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::string> configDirs();
// $XDG_DATA_HOME, else $HOME/.local/share.
std::string dataHome();
// The folders of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::string> dataDirs();

}  // namespace os

#include "platform/window/control.h"

#include <algorithm>
#include <cctype>

namespace window {

const char* controlTypeName(ControlType type) {
  switch (type) {
    case ControlType::None: return "NONE";
    case ControlType::String:
    case ControlType::StringAlt: return "STRING";
    case ControlType::Image: return "IMAGE";
    case ControlType::Region: return "REGION";
    case ControlType::Line: return "LINE";
    case ControlType::Box: return "BOX";
    case ControlType::Entry: return "ENTRY";
    case ControlType::Button: return "BUTTON";
    case ControlType::Prompt: return "PROMPT";
    case ControlType::Option: return "OPTION";
    case ControlType::Check: return "CHECK";
    case ControlType::Group: return "GROUP";
    case ControlType::List: return "LIST";
    case ControlType::Spin: return "SPIN";
    case ControlType::Text: return "TEXT";
    case ControlType::Radio: return "RADIO";
    case ControlType::Drop: return "DROP";
    case ControlType::Combo: return "COMBO";
    case ControlType::Progress: return "PROGRESS";
    case ControlType::Sheet: return "SHEET";
    case ControlType::Tab: return "TAB";
    case ControlType::Panel: return "PANEL";
    case ControlType::Menu: return "MENU";
    case ControlType::Item: return "ITEM";
    case ControlType::Toolbar: return "TOOLBAR";
  }
  return "?";
}

bool isFocusableType(ControlType type) {
  switch (type) {
    case ControlType::Entry:
    case ControlType::Button:
    case ControlType::Check:
    case ControlType::Radio:
    case ControlType::List:
    case ControlType::Spin:
    case ControlType::Text:
    case ControlType::Drop:
    case ControlType::Combo: return true;
    default: return false;
  }
}

bool isEditableType(ControlType type) {
  return type == ControlType::Entry || type == ControlType::Spin || type == ControlType::Text ||
         type == ControlType::Combo;
}

char Control::accelerator() const {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

std::string Control::plainText() const {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

bool Control::isAlerted(int key) const {
  return key != 0 && std::find(alrt.begin() + 1, alrt.end(), key) != alrt.end();
}

int Control::addAlert(int key) {
  for (int slot = 1; slot < static_cast<int>(alrt.size()); ++slot) {
    if (alrt[slot] == key) return slot;
    if (alrt[slot] == 0) {
      alrt[slot] = key;
      return slot;
    }
  }
  return 0;
}

}  // namespace window

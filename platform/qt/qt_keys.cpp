#include "platform/qt/qt_keys.h"

#include <array>
#include <utility>

#include "platform/window/key_codes.h"

namespace qtui {
namespace {

using window::AltKey;
using window::CtrlKey;
using window::ShiftKey;

// Keys whose codes are not their letter or digit.
constexpr std::array<std::pair<Qt::Key, int>, 15> kNamedKeys{{
    {Qt::Key_Backspace, window::BackspaceKey},
    {Qt::Key_Tab, window::TabKey},
    {Qt::Key_Return, window::EnterKey},
    {Qt::Key_Enter, window::EnterKey},
    {Qt::Key_Escape, window::EscKey},
    {Qt::Key_Space, window::SpaceKey},
    {Qt::Key_PageUp, window::PgUpKey},
    {Qt::Key_PageDown, window::PgDnKey},
    {Qt::Key_End, window::EndKey},
    {Qt::Key_Home, window::HomeKey},
    {Qt::Key_Left, window::LeftKey},
    {Qt::Key_Up, window::UpKey},
    {Qt::Key_Right, window::RightKey},
    {Qt::Key_Down, window::DownKey},
    {Qt::Key_Delete, window::DeleteKey},
}};
constexpr int kInsertKey = 45;
constexpr int kFunctionKeys = 24;

int baseCodeOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeys)
    return window::F1Key + (key - Qt::Key_F1);
  if (key == Qt::Key_Insert) return kInsertKey;
  if (key == Qt::Key_Backtab) return window::TabKey;
  for (const auto& [qtKey, code] : kNamedKeys) {
    if (qtKey == key) return code;
  }
  return 0;
}

int qtKeyOf(int base) {
  if (base >= 'A' && base <= 'Z') return Qt::Key_A + (base - 'A');
  if (base >= '0' && base <= '9') return Qt::Key_0 + (base - '0');
  if (base >= window::F1Key && base < window::F1Key + kFunctionKeys)
    return Qt::Key_F1 + (base - window::F1Key);
  if (base == kInsertKey) return Qt::Key_Insert;
  for (const auto& [qtKey, code] : kNamedKeys) {
    if (code == base) return qtKey;
  }
  return 0;
}

}  // namespace

int keyCodeOf(const QKeyEvent& event) {
  const int base = baseCodeOf(event.key());
  if (base == 0) return 0;
  const Qt::KeyboardModifiers m = event.modifiers();
  int code = base;
  if (m & Qt::ShiftModifier || event.key() == Qt::Key_Backtab) code += ShiftKey;
  if (m & Qt::ControlModifier) code += CtrlKey;
  if (m & Qt::AltModifier) code += AltKey;
  return code;
}

std::unique_ptr<QKeyEvent> keyEventOf(int code, QEvent::Type type) {
  const int base = window::baseKey(code);
  int key = qtKeyOf(base);
  if (key == 0) return nullptr;
  Qt::KeyboardModifiers modifiers;
  if (code & ShiftKey) modifiers |= Qt::ShiftModifier;
  if (code & CtrlKey) modifiers |= Qt::ControlModifier;
  if (code & AltKey) modifiers |= Qt::AltModifier;
  if (key == Qt::Key_Tab && (code & ShiftKey)) key = Qt::Key_Backtab;
  QString text;
  if (!(code & (CtrlKey | AltKey))) {
    if (base >= 'A' && base <= 'Z') {
      text = QChar((code & ShiftKey) ? base : base - 'A' + 'a');
    } else if ((base >= '0' && base <= '9') || base == window::SpaceKey) {
      text = QChar(base);
    } else if (base == window::EnterKey) {
      text = QStringLiteral("\r");
    } else if (base == window::TabKey) {
      text = QStringLiteral("\t");
    } else if (base == window::BackspaceKey) {
      text = QStringLiteral("\b");
    }
  }
  return std::make_unique<QKeyEvent>(type, key, modifiers, text);
}

}  // namespace qtui

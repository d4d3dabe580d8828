#include "classlib/locator.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/bound_field.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/utf8.h"
#include "platform/window/engine.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

// How many leading characters of a text the thumb weighs.
constexpr int kThumbCharacters = 6;

bool isText(runtime::FieldType type) {
  return type == runtime::FieldType::String || type == runtime::FieldType::CString ||
         type == runtime::FieldType::PString;
}

// The character a typed key stands for; 0 for a key that types none.
char typedCharacter(int keyCode) {
  const bool shift = (keyCode & window::ShiftKey) != 0;
  if (keyCode & (window::CtrlKey | window::AltKey)) return 0;
  const int key = window::baseKey(keyCode);
  if (key >= 'A' && key <= 'Z') return static_cast<char>(shift ? key : key - 'A' + 'a');
  if (key >= '0' && key <= '9' && !shift) return static_cast<char>(key);
  if (key == window::SpaceKey && !shift) return ' ';
  return 0;
}

}  // namespace

void Locator::init(int control, int field) {
  control_ = control;
  field_ = field;
  text_.clear();
}

bool Locator::takeKey(int keyCode) {
  if (control_ != 0) return false;
  if (keyCode == window::BackspaceKey) {
    if (text_.empty()) return false;
    // Take off the whole last character.
    text_ = runtime::utf8Prefix(text_, text_.size() - 1);
    return true;
  }
  const char c = typedCharacter(keyCode);
  if (c == 0) return false;
  text_ += c;
  return true;
}

bool Locator::takeAccepted() {
  if (control_ == 0) return false;
  std::string now = window::getProperty(control_, window::PropScreenText);
  if (now == text_) return false;
  text_ = std::move(now);
  return true;
}

void Locator::set(const runtime::RecordLayout& layout, int field, std::byte* record) const {
  runtime::blankRecord(layout, record);
  const runtime::FieldDef* def = layout.field(field);
  if (!def) return;
  if (auto value = runtime::boundField(*def, record)) value->set(runtime::Value::text(text_));
}

void Locator::reset() {
  text_.clear();
  if (control_ != 0) window::setProperty(control_, window::PropScreenText, std::string());
}

std::vector<int> Locator::typedKeys() {
  std::vector<int> keys{window::SpaceKey, window::BackspaceKey};
  for (int c = 'A'; c <= 'Z'; ++c) {
    keys.push_back(c);
    keys.push_back(window::ShiftKey + c);
  }
  for (int c = '0'; c <= '9'; ++c) keys.push_back(c);
  return keys;
}

// ---------------------------------------------------------------------------------------------

void Thumb::build(const runtime::FieldDef& field, const std::byte* first, const std::byte* last) {
  field_ = field;
  text_ = isText(field.type);
  built_ = true;
  low_ = measure(first);
  high_ = measure(last);
}

double Thumb::measure(const std::byte* record) const {
  auto value = runtime::boundField(field_, const_cast<std::byte*>(record));
  if (!value) return 0;
  if (!text_) return value->get().toNumber();
  // A text as a fraction: its first characters (folded) as digits of base 256.
  const std::string folded = runtime::foldCase(value->get().toText());
  double measure = 0;
  double scale = 1;
  for (int i = 0; i < kThumbCharacters; ++i) {
    scale /= 256;
    const unsigned char c = i < static_cast<int>(folded.size()) ? folded[i] : 0;
    measure += c * scale;
  }
  return measure;
}

int Thumb::percentOf(const std::byte* record) const {
  if (!built_ || high_ <= low_) return 0;
  const double at = (measure(record) - low_) / (high_ - low_) * 100;
  return static_cast<int>(std::clamp(std::round(at), 0.0, 100.0));
}

void Thumb::set(int percent, std::byte* record) const {
  if (!built_) return;
  auto value = runtime::boundField(field_, record);
  if (!value) return;
  const double at = low_ + (high_ - low_) * std::clamp(percent, 0, 100) / 100.0;
  if (!text_) {
    value->set(runtime::Value::number(std::floor(at)));
    return;
  }
  std::string text;
  double rest = at;
  for (int i = 0; i < kThumbCharacters; ++i) {
    rest *= 256;
    const int c = static_cast<int>(std::floor(rest));
    rest -= c;
    if (c <= 0) break;
    text += static_cast<char>(c);
  }
  // A cut in the middle of a character leaves a text that sorts just before it.
  value->set(runtime::Value::text(std::string(runtime::utf8Prefix(text, text.size()))));
}

}  // namespace classlib

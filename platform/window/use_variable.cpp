#include "platform/window/use_variable.h"

#include <cassert>
#include <cmath>
#include <cstring>

#include "platform/runtime/utf8.h"

namespace window {

UseVariable UseVariable::fromKind(VarKind kind, void* data, std::size_t capacity) {
  assert(data != nullptr || kind == VarKind::None);
  UseVariable v;
  v.kind_ = kind;
  v.data_ = data;
  v.capacity_ = capacity;
  return v;
}

UseVariable UseVariable::string(void* data, std::size_t capacity) {
  return fromKind(VarKind::String, data, capacity);
}
UseVariable UseVariable::cstring(void* data, std::size_t capacity) {
  assert(capacity >= 1);
  return fromKind(VarKind::CString, data, capacity);
}
UseVariable UseVariable::pstring(void* data, std::size_t capacity) {
  assert(capacity >= 1 && capacity <= 256);
  return fromKind(VarKind::PString, data, capacity);
}
UseVariable UseVariable::byte(std::uint8_t& v) { return fromKind(VarKind::Byte, &v, 1); }
UseVariable UseVariable::shortInt(std::int16_t& v) { return fromKind(VarKind::Short, &v, 2); }
UseVariable UseVariable::ushortInt(std::uint16_t& v) { return fromKind(VarKind::UShort, &v, 2); }
UseVariable UseVariable::longInt(std::int32_t& v) { return fromKind(VarKind::Long, &v, 4); }
UseVariable UseVariable::ulongInt(std::uint32_t& v) { return fromKind(VarKind::ULong, &v, 4); }
UseVariable UseVariable::real(double& v) { return fromKind(VarKind::Real, &v, 8); }

UseVariable UseVariable::custom(std::function<Value()> get, std::function<void(const Value&)> set,
                                bool isText) {
  assert(get && set);
  UseVariable v;
  v.kind_ = VarKind::Custom;
  v.get_ = std::move(get);
  v.set_ = std::move(set);
  v.customText_ = isText;
  return v;
}

bool UseVariable::isText() const {
  switch (kind_) {
    case VarKind::None:
    case VarKind::String:
    case VarKind::CString:
    case VarKind::PString: return true;
    case VarKind::Custom: return customText_;
    default: return false;
  }
}

std::size_t UseVariable::textCapacity() const {
  switch (kind_) {
    case VarKind::String: return capacity_;
    case VarKind::CString:
    case VarKind::PString: return capacity_ - 1;
    default: return 0;
  }
}

namespace {

template <class T>
T load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void store(void* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// A number truncated towards zero and wrapped to the width of T, as integer assignment does.
template <class T>
T wrapped(double n) {
  if (!std::isfinite(n)) return 0;
  const double t = std::trunc(n);
  const double range = std::ldexp(1.0, 8 * sizeof(T));
  double m = std::fmod(t, range);
  if (m < 0) m += range;
  return static_cast<T>(static_cast<std::uint64_t>(m));
}

}  // namespace

Value UseVariable::get() const {
  const char* bytes = static_cast<const char*>(data_);
  switch (kind_) {
    case VarKind::None: return Value::ofText("");
    case VarKind::String: return Value::ofText(std::string_view(bytes, capacity_));
    case VarKind::CString: return Value::ofText(std::string_view(bytes, strnlen(bytes, capacity_)));
    case VarKind::PString: {
      const std::size_t n =
          std::min<std::size_t>(static_cast<unsigned char>(bytes[0]), capacity_ - 1);
      return Value::ofText(std::string_view(bytes + 1, n));
    }
    case VarKind::Byte: return Value::ofNumber(load<std::uint8_t>(data_));
    case VarKind::Short: return Value::ofNumber(load<std::int16_t>(data_));
    case VarKind::UShort: return Value::ofNumber(load<std::uint16_t>(data_));
    case VarKind::Long: return Value::ofNumber(load<std::int32_t>(data_));
    case VarKind::ULong: return Value::ofNumber(load<std::uint32_t>(data_));
    case VarKind::Real: return Value::ofNumber(load<double>(data_));
    case VarKind::Custom: return get_();
  }
  return Value::ofText("");
}

void UseVariable::set(const Value& value) {
  char* bytes = static_cast<char*>(data_);
  switch (kind_) {
    case VarKind::None: return;
    case VarKind::String: {
      const auto text = runtime::utf8Prefix(value.asText(), capacity_);
      std::memcpy(bytes, text.data(), text.size());
      std::memset(bytes + text.size(), ' ', capacity_ - text.size());
      return;
    }
    case VarKind::CString: {
      const auto text = runtime::utf8Prefix(value.asText(), capacity_ - 1);
      std::memcpy(bytes, text.data(), text.size());
      std::memset(bytes + text.size(), 0, capacity_ - text.size());
      return;
    }
    case VarKind::PString: {
      const auto text = runtime::utf8Prefix(value.asText(), capacity_ - 1);
      bytes[0] = static_cast<char>(text.size());
      std::memcpy(bytes + 1, text.data(), text.size());
      return;
    }
    case VarKind::Byte: return store(data_, wrapped<std::uint8_t>(value.asNumber()));
    case VarKind::Short: return store(data_, wrapped<std::int16_t>(value.asNumber()));
    case VarKind::UShort: return store(data_, wrapped<std::uint16_t>(value.asNumber()));
    case VarKind::Long: return store(data_, wrapped<std::int32_t>(value.asNumber()));
    case VarKind::ULong: return store(data_, wrapped<std::uint32_t>(value.asNumber()));
    case VarKind::Real: return store(data_, value.asNumber());
    case VarKind::Custom: {
      set_(customText_ ? Value::ofText(value.asText()) : Value::ofNumber(value.asNumber()));
      return;
    }
  }
}

bool UseVariable::sameAs(const UseVariable& other) const {
  return kind_ != VarKind::Custom && kind_ != VarKind::None && data_ == other.data_;
}

}  // namespace window

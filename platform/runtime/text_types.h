// Fixed-size text fields of records: STRING(n), CSTRING(n) and PSTRING(n). Each is exactly n
// bytes with alignment 1, so records built of them are packed structs over the record buffer.
// Assignment cuts a text to the field's capacity without splitting a UTF-8 character;
// comparisons ignore trailing spaces.
#pragma once

#include <compare>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/runtime/field_type.h"
#include "platform/runtime/text.h"

namespace runtime {

// Stores `text` into a STRING field of `size` bytes: cut to `size`, padded with spaces.
void assignStringField(char* bytes, std::size_t size, std::string_view text);
// Stores `text` into a CSTRING field of `size` bytes: cut to `size` - 1, NUL-filled after it.
void assignCStringField(char* bytes, std::size_t size, std::string_view text);
// Stores `text` into a PSTRING field of `size` bytes (at most 256): a length byte, then the
// text cut to `size` - 1, zero-filled after it.
void assignPStringField(char* bytes, std::size_t size, std::string_view text);

// The text of a STRING field: all its bytes.
inline std::string_view stringFieldText(const char* bytes, std::size_t size) {
  return {bytes, size};
}
// The text of a CSTRING field: its bytes up to the first NUL (all of them when there is none).
std::string_view cStringFieldText(const char* bytes, std::size_t size);
// The text of a PSTRING field: as many bytes as its length byte says, at most `size` - 1.
std::string_view pStringFieldText(const char* bytes, std::size_t size);

// The three kinds of text field: how each blanks, stores and reads its bytes.
struct StringKind {
  static constexpr FieldType fieldType = FieldType::String;
  static constexpr std::size_t overhead = 0;  // bytes that are not text
  static constexpr char blank = ' ';
  static constexpr auto assign = &assignStringField;
  static constexpr auto read = &stringFieldText;
};
struct CStringKind {
  static constexpr FieldType fieldType = FieldType::CString;
  static constexpr std::size_t overhead = 1;
  static constexpr char blank = '\0';
  static constexpr auto assign = &assignCStringField;
  static constexpr auto read = &cStringFieldText;
};
struct PStringKind {
  static constexpr FieldType fieldType = FieldType::PString;
  static constexpr std::size_t overhead = 1;
  static constexpr char blank = '\0';
  static constexpr auto assign = &assignPStringField;
  static constexpr auto read = &pStringFieldText;
};

// A text field of N bytes of the given kind; used as String<N>, CString<N> and PString<N>.
template <std::size_t N, class Kind>
class TextFieldOf {
  static_assert(N >= 1, "a text field holds at least one byte");
  static_assert(Kind::fieldType != FieldType::PString || N <= 256,
                "a PSTRING has a one-byte length");

 public:
  static constexpr FieldType fieldType = Kind::fieldType;

  // A blank field: spaces for a STRING, empty for the others.
  TextFieldOf() { clear(); }
  explicit TextFieldOf(std::string_view text) { *this = text; }
  // Stores `text`, cut to the capacity on a character boundary.
  TextFieldOf& operator=(std::string_view text) {
    Kind::assign(bytes_, N, text);
    return *this;
  }

  // The most bytes of text the field holds: N for a STRING, N-1 for the others.
  static constexpr std::size_t capacity() { return N - Kind::overhead; }
  // The field's text: all N bytes of a STRING, a CSTRING up to its NUL, a PSTRING as long
  // as its length byte says.
  std::string_view view() const { return Kind::read(bytes_, N); }
  operator std::string_view() const { return view(); }
  std::string text() const { return std::string(view()); }
  // The text without trailing spaces.
  std::string clipped() const { return CLIP(view()); }
  void clear() { std::memset(bytes_, Kind::blank, N); }

  char* data() { return bytes_; }
  const char* data() const { return bytes_; }

 private:
  char bytes_[N];
};

// STRING(N): N bytes of text padded with spaces, no terminator.
template <std::size_t N>
using String = TextFieldOf<N, StringKind>;
// CSTRING(N): N bytes holding at most N-1 bytes of text and a terminating NUL.
template <std::size_t N>
using CString = TextFieldOf<N, CStringKind>;
// PSTRING(N): a length byte, then at most N-1 bytes of text.
template <std::size_t N>
using PString = TextFieldOf<N, PStringKind>;

template <class T>
struct IsTextField : std::false_type {};
template <std::size_t N, class Kind>
struct IsTextField<TextFieldOf<N, Kind>> : std::true_type {};

// A STRING, CSTRING or PSTRING field type.
template <class T>
concept TextField = IsTextField<std::remove_cvref_t<T>>::value;

// Comparisons of a text field with another text field or any text, ignoring trailing spaces.
template <class A, class B>
requires(TextField<A> || TextField<B>) &&
    std::convertible_to<const A&, std::string_view>&& std::convertible_to<const B&,
                                                                          std::string_view> bool
    operator==(const A& a, const B& b) {
  return compareText(std::string_view(a), std::string_view(b)) == 0;
}

template <class A, class B>
requires(TextField<A> || TextField<B>) &&
    std::convertible_to<const A&, std::string_view>&& std::convertible_to<
        const B&, std::string_view> std::weak_ordering
    operator<=>(const A& a, const B& b) {
  return compareText(std::string_view(a), std::string_view(b)) <=> 0;
}

}  // namespace runtime

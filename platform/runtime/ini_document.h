// The text of an INI profile file held as its lines, with the look-ups and edits of GETINI and
// PUTINI. A line ends in CR LF, LF or CR alone. Every line the edits do not touch stays byte for
// byte as it was, with its own line end.
//
// A line "[name]" starts a section; "key=value" is an entry of the section above it; a line
// beginning with ";" is a comment, and other lines are kept but mean nothing. Section and key
// names are compared without regard to letter case and without their surrounding blanks; when a
// name occurs twice, the first one counts. A value is read without its surrounding blanks, and a
// value written in double quotes loses them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace runtime {

class IniDocument {
 public:
  // Parses `content`, the whole file (which may be empty).
  explicit IniDocument(std::string_view content);

  // True when `section`, `entry` and `value` can be stored so that they read back unchanged: no
  // line breaks anywhere, a non-empty entry name without "=" that does not begin with "[" or ";",
  // and a section name without "]".
  static bool canStore(std::string_view section, std::string_view entry, std::string_view value);

  // The value of the entry, or nothing when the section or the entry is missing.
  std::optional<std::string> value(std::string_view section, std::string_view entry) const;
  // The names of the sections as written, in file order, each name once.
  std::vector<std::string> sections() const;
  // Every value that value() can answer, keyed by indexKey(section, entry).
  std::unordered_map<std::string, std::string> index() const;
  // The key of a section and entry in index(): both names trimmed and case-folded.
  static std::string indexKey(std::string_view section, std::string_view entry);
  // The entry names of the section as written, in file order, each once; empty when missing.
  std::vector<std::string> entries(std::string_view section) const;

  // Replaces the entry's value in place, or adds the entry at the end of its section, or adds the
  // section at the end of the text. A value that would not read back as it is (surrounding
  // blanks, or double quotes at both ends) is written in double quotes. Requires canStore.
  void set(std::string_view section, std::string_view entry, std::string_view value);
  // Removes every line of the entry from its section; nothing when it is missing.
  void remove(std::string_view section, std::string_view entry);

  // The whole text. New lines end like the first line of the parsed text ("\n" for an empty one).
  std::string text() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
  };
  // The lines of a section: its header line and the end of its range.
  struct Range {
    std::size_t header;
    std::size_t end;
  };

  std::optional<Range> findSection(std::string_view section) const;
  std::optional<std::size_t> findEntry(const Range& range, std::string_view entry) const;
  void appendLine(std::string text);

  std::string bom_;
  std::vector<Line> lines_;
  std::string newLine_ = "\n";
};

}  // namespace runtime

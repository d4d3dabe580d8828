// Reading the desktop's key files: .desktop entries, mimeapps.list and our handlers.ini.
// A line "[name]" starts a group; "key=value" is an entry of the group above it (blanks around
// the "=" are dropped); lines beginning with "#" or ";" and blank lines are comments; other lines
// are ignored. In values the escapes \s \n \t \r and \\ stand for a space, a line break, a tab, a
// carriage return and a backslash; any other backslash is kept as it is. When a group or a key
// occurs twice, the first one counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

class KeyFile {
 public:
  // How group names are compared: the desktop's own files are case-sensitive, the handler
  // settings (registry key texts) are not.
  enum class GroupNames { MatchCase, IgnoreCase };

  // Parses `content`, the whole file.
  explicit KeyFile(std::string_view content, GroupNames groupNames = GroupNames::MatchCase);

  // Reads and parses the file at `osPath`; nothing when it is missing or cannot be read.
  static std::optional<KeyFile> load(const std::string& osPath,
                                     GroupNames groupNames = GroupNames::MatchCase);

  // The unescaped value of `key` (compared with its case) in `group`; nothing when either is
  // missing.
  std::optional<std::string> value(std::string_view group, std::string_view key) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Group {
    std::string name;
    std::vector<Entry> entries;
  };

  const Group* findGroup(std::string_view name) const;

  GroupNames groupNames_;
  std::vector<Group> groups_;
};

}  // namespace os

#include "platform/os/key_file.h"

#include "platform/runtime/case_fold.h"
#include "platform/runtime/whole_file.h"

namespace os {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string unescaped(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    switch (text[i + 1]) {
      case 's': result += ' '; break;
      case 'n': result += '\n'; break;
      case 't': result += '\t'; break;
      case 'r': result += '\r'; break;
      case '\\': result += '\\'; break;
      default: result += text[i]; continue;  // not an escape: keep the backslash
    }
    ++i;
  }
  return result;
}

}  // namespace

KeyFile::KeyFile(std::string_view content, GroupNames groupNames) : groupNames_(groupNames) {
  Group* current = nullptr;
  while (!content.empty()) {
    const auto end = content.find('\n');
    const std::string_view line = trimmed(content.substr(0, end));
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string_view name = line.substr(1, line.size() - 2);
      current = nullptr;
      if (findGroup(name) == nullptr) current = &groups_.emplace_back(Group{std::string(name), {}});
      continue;
    }
    const auto equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    bool seen = false;
    for (const Entry& entry : current->entries) seen = seen || entry.key == key;
    if (!seen)
      current->entries.push_back({std::string(key), unescaped(trimmed(line.substr(equals + 1)))});
  }
}

std::optional<KeyFile> KeyFile::load(const std::string& osPath, GroupNames groupNames) {
  std::string content;
  if (runtime::readWholeFile(osPath, content) != 0) return std::nullopt;
  return KeyFile(content, groupNames);
}

std::optional<std::string> KeyFile::value(std::string_view group, std::string_view key) const {
  const Group* found = findGroup(group);
  if (found == nullptr) return std::nullopt;
  for (const Entry& entry : found->entries) {
    if (entry.key == key) return entry.value;
  }
  return std::nullopt;
}

const KeyFile::Group* KeyFile::findGroup(std::string_view name) const {
  const std::string folded =
      groupNames_ == GroupNames::IgnoreCase ? runtime::foldCase(name) : std::string(name);
  for (const Group& group : groups_) {
    if ((groupNames_ == GroupNames::IgnoreCase ? runtime::foldCase(group.name) : group.name) ==
        folded) {
      return &group;
    }
  }
  return nullptr;
}

}  // namespace os

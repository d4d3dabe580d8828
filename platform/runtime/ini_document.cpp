#include "platform/runtime/ini_document.h"

#include <algorithm>
#include <cassert>
#include <unordered_set>

#include "platform/runtime/case_fold.h"

namespace runtime {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  return foldCase(trim(a)) == foldCase(trim(b));
}

bool isQuoted(std::string_view value) {
  return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// The name of the section a line starts, or nothing when it is no section header.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return trim(line.substr(0, line.find(']')));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// The key and value of an entry line, or nothing for headers, comments and other lines.
std::optional<Entry> entryOf(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() == '[' || line.front() == ';') return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = trim(line.substr(0, equals));
  if (key.empty()) return std::nullopt;
  return Entry{key, trim(line.substr(equals + 1))};
}

// Names met so far, trimmed and case-folded, so that a file of many sections or entries is read
// in linear time.
class SeenNames {
 public:
  // True the first time a name equal to `name` is added.
  bool add(std::string_view name) { return folded_.insert(foldCase(trim(name))).second; }

 private:
  std::unordered_set<std::string> folded_;
};

// Adds `name` to `names` unless a name equal to it is there already.
void addOnce(std::vector<std::string>& names, SeenNames& seen, std::string_view name) {
  if (seen.add(name)) names.emplace_back(name);
}

std::string encodeValue(std::string_view value) {
  const bool needsQuotes =
      !value.empty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value));
  return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace

IniDocument::IniDocument(std::string_view content) {
  if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bom_ = kByteOrderMark;
    content.remove_prefix(kByteOrderMark.size());
  }
  bool newLineKnown = false;
  while (!content.empty()) {
    const std::size_t breakAt = content.find_first_of("\r\n");
    if (breakAt == std::string_view::npos) {
      lines_.push_back({std::string(content), ""});
      break;
    }
    const bool crlf = content[breakAt] == '\r' && content.substr(breakAt + 1, 1) == "\n";
    const std::size_t endSize = crlf ? 2 : 1;
    lines_.push_back(
        {std::string(content.substr(0, breakAt)), std::string(content.substr(breakAt, endSize))});
    if (!newLineKnown) newLine_ = lines_.back().end;
    newLineKnown = true;
    content.remove_prefix(breakAt + endSize);
  }
}

bool IniDocument::canStore(std::string_view section, std::string_view entry,
                           std::string_view value) {
  const auto hasLineBreak = [](std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
  };
  if (hasLineBreak(section) || hasLineBreak(entry) || hasLineBreak(value)) return false;
  const std::string_view key = trim(entry);
  return section.find(']') == std::string_view::npos && !key.empty() &&
         key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view entry) const {
  const std::optional<Range> range = findSection(section);
  if (!range) return std::nullopt;
  const std::optional<std::size_t> line = findEntry(*range, entry);
  if (!line) return std::nullopt;
  std::string_view value = entryOf(lines_[*line].text)->value;
  if (isQuoted(value)) value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string IniDocument::indexKey(std::string_view section, std::string_view entry) {
  return foldCase(trim(section)) + '\n' + foldCase(trim(entry));
}

std::unordered_map<std::string, std::string> IniDocument::index() const {
  // The same answers as value(): the first section of a name, the first entry of a key in it.
  std::unordered_map<std::string, std::string> values;
  SeenNames seenSections;
  std::optional<std::string> current;  // the section being read, when it is a first one
  for (const Line& line : lines_) {
    if (const std::optional<std::string_view> name = sectionName(line.text)) {
      current = seenSections.add(*name) ? std::optional<std::string>(*name) : std::nullopt;
      continue;
    }
    if (!current) continue;
    if (const std::optional<Entry> entry = entryOf(line.text)) {
      std::string_view value = entry->value;
      if (isQuoted(value)) value = value.substr(1, value.size() - 2);
      values.try_emplace(indexKey(*current, entry->key), value);
    }
  }
  return values;
}

std::vector<std::string> IniDocument::sections() const {
  std::vector<std::string> names;
  SeenNames seen;
  for (const Line& line : lines_) {
    const std::optional<std::string_view> name = sectionName(line.text);
    if (name) addOnce(names, seen, *name);
  }
  return names;
}

std::vector<std::string> IniDocument::entries(std::string_view section) const {
  std::vector<std::string> keys;
  const std::optional<Range> range = findSection(section);
  if (!range) return keys;
  SeenNames seen;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const std::optional<Entry> entry = entryOf(lines_[i].text);
    if (entry) addOnce(keys, seen, entry->key);
  }
  return keys;
}

void IniDocument::set(std::string_view section, std::string_view entry, std::string_view value) {
  assert(canStore(section, entry, value));
  const std::optional<Range> range = findSection(section);
  if (!range) {
    appendLine("[" + std::string(trim(section)) + "]");
    appendLine(std::string(trim(entry)) + "=" + encodeValue(value));
    return;
  }
  if (const std::optional<std::size_t> line = findEntry(*range, entry)) {
    std::string& text = lines_[*line].text;
    text = std::string(entryOf(text)->key) + "=" + encodeValue(value);
    return;
  }
  // After the section's last non-blank line, so that blank lines before the next section stay.
  std::size_t position = range->header + 1;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    if (!trim(lines_[i].text).empty()) position = i + 1;
  }
  if (lines_[position - 1].end.empty()) lines_[position - 1].end = newLine_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                Line{std::string(trim(entry)) + "=" + encodeValue(value), newLine_});
}

void IniDocument::remove(std::string_view section, std::string_view entry) {
  const std::optional<Range> range = findSection(section);
  if (!range) return;
  const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(range->header + 1);
  const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(range->end);
  lines_.erase(std::remove_if(first, last,
                              [&](const Line& line) {
                                const std::optional<Entry> found = entryOf(line.text);
                                return found && sameName(found->key, entry);
                              }),
               last);
}

std::string IniDocument::text() const {
  std::string result = bom_;
  for (const Line& line : lines_) result += line.text + line.end;
  return result;
}

std::optional<IniDocument::Range> IniDocument::findSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::string_view> name = sectionName(lines_[i].text);
    if (!name || !sameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !sectionName(lines_[end].text)) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::findEntry(const Range& range,
                                                  std::string_view entry) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const std::optional<Entry> found = entryOf(lines_[i].text);
    if (found && sameName(found->key, entry)) return i;
  }
  return std::nullopt;
}

void IniDocument::appendLine(std::string text) {
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = newLine_;
  lines_.push_back({std::move(text), newLine_});
}

}  // namespace runtime

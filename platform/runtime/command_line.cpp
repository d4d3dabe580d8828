#include "platform/runtime/command_line.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <system_error>
#include <vector>

#include "platform/runtime/case_fold.h"

namespace runtime {
namespace {

struct CommandLine {
  std::string argumentText;
  std::vector<std::string> words;
  std::string programPath;
};

std::shared_mutex& commandLineLock() {
  static std::shared_mutex lock;
  return lock;
}

std::string programPathFrom(const char* argv0) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return path.string();
  if (argv0 == nullptr || *argv0 == '\0') return {};
  path = std::filesystem::absolute(argv0, error);
  return error ? std::string(argv0) : path.lexically_normal().string();
}

CommandLine& commandLine() {
  static CommandLine line{{}, {}, programPathFrom(nullptr)};
  return line;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isSeparator(char c) { return isBlank(c) || c == ','; }

// Cuts the argument text into words by the rules described in the header.
std::vector<std::string> splitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  const auto endWord = [&] {
    if (inWord) words.push_back(word);
    word.clear();
    inWord = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        word += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        word += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (isSeparator(c)) {
      endWord();
    } else if (c == '"') {
      inWord = true;
      quoted = true;
    } else {
      if (c == '/' && inWord) endWord();
      word += c;
      inWord = true;
    }
  }
  endWord();
  return words;
}

// One argument written so that splitWords reads it back as one word.
std::string quoteArgument(std::string_view argument) {
  const bool needsQuotes =
      argument.empty() || std::any_of(argument.begin(), argument.end(),
                                      [](char c) { return isSeparator(c) || c == '"'; });
  if (!needsQuotes) return std::string(argument);
  std::string result = "\"";
  for (const char c : argument) {
    result += c;
    if (c == '"') result += '"';
  }
  result += '"';
  return result;
}

void store(std::string argumentText, std::string programPath) {
  std::vector<std::string> words = splitWords(argumentText);
  std::unique_lock guard(commandLineLock());
  CommandLine& line = commandLine();
  line.argumentText = std::move(argumentText);
  line.words = std::move(words);
  line.programPath = std::move(programPath);
}

bool isNumber(std::string_view name) {
  return !name.empty() &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string wordAt(const CommandLine& line, std::string_view digits) {
  std::size_t n = 0;
  for (const char c : digits) {
    n = n * 10 + static_cast<std::size_t>(c - '0');
    if (n > line.words.size()) return {};
  }
  return n == 0 ? line.programPath : line.words[n - 1];
}

}  // namespace

void setCommandLine(int argc, char** argv) {
  std::string argumentText;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argumentText += ' ';
    argumentText += quoteArgument(argv[i]);
  }
  store(std::move(argumentText), programPathFrom(argc > 0 ? argv[0] : nullptr));
}

void setCommandLine(std::string_view argumentText) {
  store(std::string(argumentText), programPathFrom(nullptr));
}

std::string COMMAND(std::string_view name) {
  std::shared_lock guard(commandLineLock());
  const CommandLine& line = commandLine();
  if (name.empty()) return line.argumentText;
  if (isNumber(name)) return wordAt(line, name);
  const std::string folded = foldCase(name);
  if (name.front() == '/') {
    for (const std::string& word : line.words) {
      if (foldCase(word).starts_with(folded)) return word.substr(1);
    }
    return {};
  }
  for (const std::string& word : line.words) {
    const std::size_t equals = word.find('=');
    if (equals != std::string::npos && foldCase(word.substr(0, equals)) == folded) {
      return word.substr(equals + 1);
    }
  }
  return {};
}

}  // namespace runtime

#include "platform/os/desktop_exec.h"

namespace os {
namespace {

std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word)), word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c != '"') {
      word += c;
      continue;
    }
    for (++i;; ++i) {
      if (i == exec.size()) return std::nullopt;  // unclosed quote
      if (exec[i] == '"') break;
      if (exec[i] == '\\' && i + 1 < exec.size() &&
          std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
        ++i;
      }
      word += exec[i];
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace

std::optional<std::vector<std::string>> execArguments(std::string_view exec,
                                                      std::string_view address) {
  auto words = splitExec(exec);
  if (!words) return std::nullopt;
  std::vector<std::string> arguments;
  bool addressPlaced = false;
  for (const std::string& word : *words) {
    std::string argument;
    bool hadCode = false;  // a field code other than %%
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (word[i] != '%') {
        argument += word[i];
        continue;
      }
      const char code = i + 1 < word.size() ? word[++i] : '\0';
      if (code == '%') {
        argument += '%';
        continue;
      }
      hadCode = true;
      if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
        argument += address;
        addressPlaced = true;
      }
    }
    if (hadCode && arguments.empty()) return std::nullopt;  // the program must be named plainly
    if (!(hadCode && argument.empty())) arguments.push_back(std::move(argument));
  }
  if (arguments.empty() || arguments[0].empty()) return std::nullopt;
  if (!addressPlaced) arguments.emplace_back(address);
  return arguments;
}

}  // namespace os

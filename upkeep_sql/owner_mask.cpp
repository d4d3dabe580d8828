#include "upkeep_sql/owner_mask.h"

#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kMask = "****************";

// The owner up to the `commas`-th comma, each search starting after the previous hit; a search
// that finds none keeps the whole owner and starts the next one from the beginning.
std::string beforeComma(std::string_view owner, int commas) {
  std::string kept;
  int start = 1;
  for (int i = 0; i < commas; ++i) {
    const int hit = runtime::INSTRING(",", owner, 1, start);
    if (hit == 0) {
      kept = owner;
      start = 1;
    } else {
      kept = runtime::SUB(owner, 1, hit - 1);
      start = hit + 1;
    }
  }
  return kept + "," + std::string(kMask);
}

// The owner with the value of the entry starting at 1-based `at` (`entry` long) masked.
std::string maskedEntry(std::string_view owner, int at, std::string_view entry) {
  const int semicolon = runtime::INSTRING(";", owner, 1, at);
  return runtime::SUB(owner, 1, at - 1) + std::string(entry) + std::string(kMask) +
         (semicolon == 0 ? std::string() : runtime::SUB(owner, semicolon, -1));
}

}  // namespace

std::string ds_EncryptOwner(std::string_view code, std::string_view owner) {
  const bool traced = upkeep::debugLevels().inOutTrace != 0;
  if (traced) upkeep::WriteTrace("ds_EncryptOwner IN: dr: " + runtime::CLIP(code));
  const std::string text = runtime::CLIP(owner);
  std::string answer;
  if (code == "MSS") {
    answer = beforeComma(text, 3);
  } else if (code == "ASA") {
    answer = beforeComma(text, 2);
  } else if (code == "ORA") {
    const int comma = runtime::INSTRING(",", text);
    if (comma != 0) {
      answer = runtime::SUB(text, 1, comma - 1) + "," + std::string(kMask);
    } else {
      const int slash = runtime::INSTRING("/", text);
      const int at = runtime::INSTRING("@", text);
      answer = runtime::SUB(text, 1, slash) + std::string(kMask) +
               (at == 0 ? std::string() : runtime::SUB(text, at, -1));
    }
  } else if (code == "ODB") {
    const std::string lower = runtime::LOWER(text);
    if (const int pwd = runtime::INSTRING("pwd=", lower); pwd != 0) {
      answer = maskedEntry(text, pwd, "PWD=");
    } else if (const int password = runtime::INSTRING("password=", lower); password != 0) {
      answer = maskedEntry(text, password, "PASSWORD=");
    } else {
      answer = beforeComma(text, 2);
    }
  }
  answer = runtime::SUB(answer, 1, 255);
  if (traced) upkeep::WriteTrace("ds_EncryptOwner OUT: o: " + runtime::CLIP(answer));
  return answer;
}

}  // namespace upkeep_sql

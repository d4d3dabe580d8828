#include "upkeep/profile.h"

#include <span>
#include <string>

#include "platform/runtime/command_line.h"
#include "platform/runtime/standard_date.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

Profile counters;

// Each counter as " " + its number.
std::string numbers(std::span<const std::int32_t> values) {
  std::string text;
  for (const std::int32_t value : values) text += " " + std::to_string(value);
  return text;
}

}  // namespace

Profile& profile() { return counters; }

void profileStart() { counters.startTime = runtime::CLOCK(); }

void profileLap(std::int32_t& counter) {
  const std::int32_t now = runtime::CLOCK();
  counter += now >= counters.startTime ? now - counters.startTime : now;
  counters.startTime = now;
}

void ProfileReport(std::uint8_t section) {
  if (runtime::COMMAND("/Profile").empty()) return;
  const std::span<const std::int32_t> other(counters.other);
  switch (section) {
    case 1:
      WriteTrace("Profile of ds_UsingFile : " + numbers(std::span(counters.usingFile).first(12)) +
                 " :: " + numbers(std::span(counters.usingFile).last(1)));
      break;
    case 2: WriteTrace("Profile of generatescripts :  :: " + numbers(counters.sqlScripts)); break;
    case 3:
      WriteTrace("Profile of UpgradeFileEx : " + numbers(counters.upgradeFile));
      WriteTrace("Profile of copyrec : " + numbers(counters.copyRec) + " :: ");
      WriteTrace("Profile of onefield : " + numbers(counters.oneField));
      break;
    case 4:
      WriteTrace("Profile of xxx : " + numbers(other.first(10)));
      WriteTrace(numbers(other.last(9)));
      break;
    case 5: WriteTrace("Profile of buildsqlinsert : " + numbers(counters.sqlInsert)); break;
    default: break;
  }
}

void resetProfile() { counters = Profile{}; }

}  // namespace upkeep

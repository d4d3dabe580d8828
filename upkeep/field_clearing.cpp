#include "upkeep/field_clearing.h"

#include "platform/runtime/field_type.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

constexpr std::uint32_t GuidSize = 16;
constexpr int Apostrophe = 39;

SetIfNewValue* setIfNewValue(std::string_view name) {
  if (ITQ().empty()) return nullptr;
  const std::string key = runtime::UPPER(runtime::CLIP(name));
  for (SetIfNewValue& entry : ITQ())
    if (runtime::CLIP(entry.NAME) == key) return &entry;
  return nullptr;
}

bool isGuidField(const FieldElement& destination, std::string_view name,
                 std::string_view filePrefix) {
  return destination.type == static_cast<std::uint8_t>(runtime::FieldType::String) &&
         destination.len == GuidSize &&
         runtime::equalTextNoCase(name, runtime::CLIP(filePrefix) + ":GUID");
}

}  // namespace

std::vector<SetIfNewValue>& ITQ() {
  static std::vector<SetIfNewValue> values;
  return values;
}

std::uint8_t& FromITQ() {
  static std::uint8_t fromItq = 0;
  return fromItq;
}

std::string realFieldSetting(std::string_view name) {
  for (const RealFieldEntry& entry : registration().RFQ)
    if (runtime::equalTextNoCase(entry.NAME, name)) return runtime::CLIP(entry.VALUE);
  return {};
}

bool ClearingField(const FieldElement& destination, std::string_view name,
                   std::string_view filePrefix) {
  if (realFieldSetting(name) == "UNREALFIELD") {
    if (debugLevels().fieldCopyDetail)
      WriteTrace("UNREALFIELD: " + std::string(name) +
                 " not clearing or converting! - exiting routine.");
    return false;
  }
  FromITQ() = 0;
  if (SetIfNewValue* entry = setIfNewValue(name)) {
    FromITQ() = 1;
    if (runtime::equalTextNoCase(entry->VALUE, "AUTONUMBER")) {
      ++entry->AUTONUM;
      ConvertText(runtime::longToText(entry->AUTONUM), destination);
    } else {
      ConvertText(entry->VALUE, destination);
    }
    return true;
  }
  if (isGuidField(destination, name, filePrefix)) {
    if (debugLevels().fieldCopyDetail) WriteTrace("New GUID field detected... prime it... ");
    for (std::uint32_t k = 0; k < GuidSize; ++k) {
      const int r = runtime::RANDOM(1, 255);
      destination.bytes[k] = static_cast<unsigned char>(r == Apostrophe ? Apostrophe + 1 : r);
    }
    return true;
  }
  BlankField(destination);
  return false;
}

}  // namespace upkeep

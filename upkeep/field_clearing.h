// What a field of the new record receives when the old record has no value for it: the value
// registered for new fields of its name (`ITQ`, a text or the next number of a counter), a new
// GUID for the file's GUID field, or a blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/field_conversion.h"

namespace upkeep {

// One value for new fields (`ITQ`): a field label with its prefix, upper case (the key), and
// the text its new fields receive, or "AUTONUMBER" for a counter whose last number is AUTONUM.
struct SetIfNewValue {
  std::string NAME;
  std::string VALUE;
  std::int32_t AUTONUM = 0;
};

// The process-wide values for new fields; read under ds_FileOpen's lock.
std::vector<SetIfNewValue>& ITQ();

// `FromITQ`: 1 once ClearingField gave a field its ITQ value, until the next ClearingField
// that looks ITQ up; the SQL value lists trace the integers they take meanwhile.
std::uint8_t& FromITQ();

// The RFQ setting of the field labelled `name` ("REALFIELD" or "UNREALFIELD"), from its first
// entry; empty when it has none.
std::string realFieldSetting(std::string_view name);

// Fills `destination`, an element of the field labelled `name` (with its prefix) that has no
// source, for a file whose record prefix is `filePrefix`:
//   - a field with an ITQ entry receives its text, converted like a text source; an
//     "AUTONUMBER" entry counts on by one and the field receives the new number;
//   - the field named filePrefix + ":GUID", a STRING of 16 bytes, receives 16 random bytes from
//     1 to 255, none of them an apostrophe, different for every record;
//   - any other field is blanked (BlankField).
// Names are compared without regard to letter case and trailing spaces. Answers true when the
// field received a value of its own (a registered value or a GUID), false when it was blanked
// or kept.
bool ClearingField(const FieldElement& destination, std::string_view name,
                   std::string_view filePrefix);

}  // namespace upkeep

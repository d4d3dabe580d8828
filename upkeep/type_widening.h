// Widening of the record type descriptors that older structure images hold. An older
// descriptor keeps its header words and the three words of each GROUP entry in 16 bits and
// each array dimension in one byte; the runtime reads the current layout only
// (platform/files/record_descriptor.h), so an older image is widened before a FILE is built
// from it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace upkeep {

// The current-layout form of the older descriptor at the start of `older` (bytes after its own
// length word are not looked at): every header and GROUP word becomes 32 bits, each dimension
// takes the variable one-to-three-byte form of the current layout, each GROUP's length word is
// computed afresh from its widened members, and every other byte (texts, over-references,
// string sizes in their one-to-three-byte form) is kept as it stands. Nothing, with the reason
// in `error`, when the bytes are not a sound older descriptor (cut short, an unknown type code,
// a group whose members do not fit, ...); nothing is ever read past the given bytes.
std::optional<std::vector<std::uint8_t>> ConvertGroup(std::span<const std::uint8_t> older,
                                                      std::string* error = nullptr);

}  // namespace upkeep

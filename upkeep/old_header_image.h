// The structure image of an old data file's header, in the older image form that MakeFile
// reads (structure_image.h): driver code "Cor", the owner (two characters derived from the
// key bytes of an encrypted header), the attributes, the keys, the memo and the record's
// descriptor in the 16-bit layout, with each field's old type code mapped to the runtime's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "upkeep/old_header.h"

namespace upkeep {

// One field as the image describes it (the working list ST).
struct OldImageField {
  std::string NAME;         // upper case, clipped
  std::int32_t NSTART = 0;  // 1-based place in the stored record, its prefix included
  std::int32_t NLEN = 0;
  std::uint8_t NTYPE = 0;  // old type code
  std::int32_t NARRNUM = 0;
  std::vector<std::int32_t> NARRDIM;  // the dimensions of an array, empty for a plain field
  std::uint8_t NDECSIG = 0;
  std::uint8_t NDECDEC = 0;
  std::int32_t PICNUM = 0;
  std::string PIC;  // the picture, empty for none
  std::int32_t NUMGRPFIELDS = 0;
};

// The owner text the image of an encrypted header carries: the even-offset key byte, then the
// odd one, each as a character (a zero byte, which a text cannot hold, as a blank). Empty for
// a clear header.
std::string oldHeaderOwner(const OldHeader& header);

// The picture a picture record gives a field: from the first "p" of its first 32 characters
// up to the next "p" (with a "b" after it), else the text up to its first blank.
std::string oldPicture(const std::string& stored);

// The fields of `header` with their pictures, dimensions and group spans. Nothing, with the
// reason, when a field cannot be described soundly: an unknown type, a size its type does not
// have, a place that is not where the fields before it end, a group whose members do not fill
// it exactly, an array of groups or with a dimension above 255.
std::optional<std::vector<OldImageField>> oldImageFields(const OldHeader& header,
                                                         std::string* reason = nullptr);

// The image of `header`. Nothing, with the reason, when its fields cannot be described (above)
// or it has more keys than an image holds.
std::optional<std::vector<std::uint8_t>> oldHeaderImage(const OldHeader& header,
                                                        std::string* reason = nullptr);

}  // namespace upkeep

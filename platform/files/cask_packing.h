// The compact form in which the Caskfile driver stores record and memo bytes. A record buffer
// is mostly the unused tails of its text fields (spaces or zeros), so runs of one repeated byte
// shrink to two or a few bytes and everything else is copied; a run of zeros at the very end is
// left out, since unpacking fills what the packed form does not cover with zeros.
//
// Packed form, a sequence of tokens:
//   00h-7Fh c       literal: the next c + 1 bytes are copied
//   80h-FEh c, b    run: b repeated c - 80h + kShortRunBase times
//   FFh, n..., b    run: b repeated n times, n an unsigned LEB128 number
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace files {

// Replaces `out` with the packed form of `bytes`.
void packBytes(std::string_view bytes, std::string& out);

// Unpacks `packed` into the `size` bytes at `out`, zero-filling what the packed form does not
// cover, except the bytes from `zeroFrom` on, which the caller knows to be zero already.
// Returns the number of bytes the packed form covered, or -1 (with `out` zero-filled) when
// `packed` is not a sound packing of at most `size` bytes.
long long unpackBytes(std::string_view packed, unsigned char* out, std::size_t size,
                      std::size_t zeroFrom = SIZE_MAX);

}  // namespace files

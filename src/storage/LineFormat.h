// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel::storage {

// The first line of `data`, without its line end (CR LF, LF or CR), or the
// whole of `data` when it has no line end. Empty data gives the empty text.
std::string_view firstLine(std::string_view data);

// `text` followed by CR LF.
std::string formatLine(std::string_view text);

// The print form of a number followed by CR LF: a blank for a sign that is not
// negative (or '-'), the digits, one blank. 255 -> " 255 \r\n".
std::string formatNumberLine(std::int32_t value);

// Reads the first field of `data` by the record reader's rules and converts it
// to a signed 32-bit number; nothing when there is no field or it is not
// such a number.
std::optional<std::int32_t> readNumberField(std::string_view data);

}  // namespace ombrel::storage

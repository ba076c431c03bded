// SPDX-License-Identifier: MIT
#pragma once

// Layout of the data files, shared by every reader and writer.
//
// All files are single-byte Windows-1252 text; every line written ends with
// CR LF. Readers also accept a bare LF (and a bare CR) as a line end, and a
// last line without any line end.
//
// Entry record (passwords.dat, passwords2.dat), one per line:
//
//     field,field,field,field CR LF
//
//   where each field is either  '"' text '"'  (a text, possibly empty)
//   or nothing at all          (an unset field).
//   No blanks are written. The four fields are name, user name, password and
//   notes, each in the shift encoding, so a stored text never holds a quote,
//   a comma, a blank, CR or LF and needs no escaping.
//
// Master password file (pw.dat): one line, the shift-encoded password without
//   quotes, CR LF.
//
// Colour file (pwclr.dat): one line holding a signed 32-bit number in its
//   print form: a blank (or '-') in place of the sign, the digits, one blank,
//   CR LF. Example: " 16777215 \r\n".
//
// Shift encoding: each byte c of a plain text becomes c + 100. Only plain
//   bytes 0..155 can be encoded; only stored bytes 100..255 can be decoded.

#include <string_view>

namespace ombrel::storage {

inline constexpr char kQuote = '"';
inline constexpr char kComma = ',';
inline constexpr char kBlank = ' ';
inline constexpr char kCR = '\r';
inline constexpr char kLF = '\n';
inline constexpr std::string_view kLineEnd = "\r\n";

inline constexpr int kShift = 100;
inline constexpr int kMaxPlainCode = 155;   // highest byte that can be encoded
inline constexpr int kMinStoredCode = 100;  // lowest byte that can be decoded

}  // namespace ombrel::storage

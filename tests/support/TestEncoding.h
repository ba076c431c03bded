// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace ombrel::testing {

// The stored form of a Windows-1252 byte string, computed independently of the
// program's own encoder so that the two check each other.
inline std::string enc(std::string_view plain) {
  std::string out;
  for (unsigned char c : plain) out.push_back(static_cast<char>(c + 100));
  return out;
}

// One record line as the program must write it; `nullptr` stands for an unset
// field.
inline std::string line(const char* name, const char* user, const char* password,
                        const char* notes) {
  std::string out;
  const char* fields[] = {name, user, password, notes};
  for (int i = 0; i < 4; ++i) {
    if (i) out += ',';
    if (fields[i]) out += '"' + enc(fields[i]) + '"';
  }
  return out + "\r\n";
}

}  // namespace ombrel::testing

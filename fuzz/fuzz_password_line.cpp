// SPDX-License-Identifier: MIT
// The line reader of pw.dat: start-up compares the first line, without its
// line end, with the stored form of the typed password.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/LineFormat.h"

using namespace ombrel::storage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view line = firstLine(bytes);

  // A prefix of the data, free of line ends, stopped only by one or the end.
  if (line.data() != bytes.data() || line.size() > bytes.size()) std::abort();
  if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
  if (line.size() < bytes.size() && bytes[line.size()] != '\r' && bytes[line.size()] != '\n')
    std::abort();

  // What Change Password writes reads back as the same line.
  const std::string written = formatLine(line);
  if (firstLine(written) != line) std::abort();
  return 0;
}

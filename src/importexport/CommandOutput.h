// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string_view>

#include "storage/Status.h"

namespace ombrel {

// Where the import and export speak to the user. They run from the command
// line, so the program prints what they say; tests keep it instead.
class CommandOutput {
 public:
  virtual ~CommandOutput() = default;

  // One line of the import's report (standard output).
  virtual void report(const QString& line) = 0;

  // A message that is not part of the report: an error that stops the
  // command, or what the export has to say (standard error, so that an export
  // to standard output carries nothing but the CSV).
  virtual void notice(const QString& text) = 0;

  // One record of data for standard output (an exported row, a printed
  // value), ending with its line end. The output may hold it back until
  // flushData(), which reports whether everything arrived.
  virtual storage::Status writeData(std::string_view record) = 0;
  virtual storage::Status flushData() = 0;
};

}  // namespace ombrel

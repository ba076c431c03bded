// SPDX-License-Identifier: MIT
#pragma once

#include "importexport/CommandOutput.h"

namespace ombrel {

// The import's report on standard output, everything else on standard
// error, in UTF-8.
class StandardStreams : public CommandOutput {
 public:
  void report(const QString& line) override;
  void notice(const QString& text) override;
  storage::Status writeData(std::string_view bytes) override;
};

}  // namespace ombrel

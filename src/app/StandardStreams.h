// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "interfaces/CommandOutput.h"

namespace ombrel {

// The longest message printed, in bytes: a file's text quoted in a message
// must not flood the terminal.
inline constexpr std::size_t kMaxMessageBytes = 4096;

// A message as the terminal shows it: every control character (C0 but the
// line ends between the message's lines, DEL and C1) as \xHH and a backslash
// as \\, so that a crafted file cannot retitle, clear or rewrite the
// terminal; cut to kMaxMessageBytes of UTF-8, the cut marked with "...".
std::string printableMessage(const QString& text);

// One record of data output for a terminal: its control characters escaped
// as in a message, all but the line end that closes it.
std::string printableRecord(std::string_view utf8);

// The import's report on standard output, everything else on standard
// error, in UTF-8. Messages are always escaped; data is written as it is,
// unless standard output is a terminal.
class StandardStreams : public CommandOutput {
 public:
  StandardStreams();

  void report(const QString& line) override;
  void notice(const QString& text) override;
  storage::Status writeData(std::string_view record) override;
  storage::Status flushData() override;

 private:
  bool dataOnTerminal_;
};

}  // namespace ombrel

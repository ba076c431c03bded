// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace ombrel {

namespace storage {
class DataDirectory;
}

// The line of pw.dat that means "no master password is set", as stored. Only
// a fresh installation writes it; typed passwords cannot produce it, since its
// plain form is four control characters.
inline constexpr std::string_view kNoPasswordMarker = "efgh";

// What start-up says when pw.dat is missing; the command line says the same.
inline const char* const kPasswordFileTampered =
    "The password file has been erased or tampered with! This program will now close!";

// How the master password gate judged the data directory.
enum class PasswordCheck {
  Accepted,     // the answer matches the stored password
  NoPassword,   // pw.dat holds the no-password marker: nothing was asked
  Wrong,        // the answer does not match
  MissingFile,  // pw.dat is not there (or a folder stands in its place): nothing was asked
  Unreadable,   // pw.dat is there but could not be read: nothing was asked
  NoAnswer,     // no answer could be read at all
};

struct GateOutcome {
  PasswordCheck check;
  // For Unreadable and NoAnswer, what to tell the user: the file and the
  // reason, or why no answer could be read.
  QString problem;
};

// What asking for the password gave: the text typed, or why there is none.
struct PasswordAnswer {
  // A prompt's text is an answer as it stands.
  PasswordAnswer(QString typed) : text(std::move(typed)) {}  // NOLINT(google-explicit-constructor)
  static PasswordAnswer none(QString why) {
    PasswordAnswer nothing{QString()};
    nothing.text.reset();
    nothing.problem = std::move(why);
    return nothing;
  }

  std::optional<QString> text;
  QString problem;
};

// The master password gate: tests that pw.dat is present, reads its first
// line and, unless it is the no-password marker, asks `askPassword` for the
// answer and compares it as stored. Start-up and the command line both pass
// through it, each asking and telling the user in its own way.
GateOutcome checkMasterPassword(const storage::DataDirectory& dataDirectory,
                                const std::function<PasswordAnswer()>& askPassword);

}  // namespace ombrel

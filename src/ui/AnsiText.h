#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ombrel {

// The one crossing between the window's texts and the bytes of the data files,
// always in Windows-1252.
struct AnsiBytes {
  std::string bytes;       // characters Windows-1252 cannot carry are left out
  qsizetype firstBad = -1; // index in the QString of the first such character
  bool ok() const { return firstBad < 0; }
};

AnsiBytes toAnsi(const QString& text);
QString fromAnsi(std::string_view bytes);

// The character at `index` of `text` as a user reads it (a whole surrogate
// pair when it is one), for messages that name it.
QString characterAt(const QString& text, qsizetype index);

}  // namespace ombrel

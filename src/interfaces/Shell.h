// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace ombrel {

// Hands URLs and local files to the desktop, which opens them with the user's
// default program and returns at once. Never a shell command line.
class Shell {
 public:
  virtual ~Shell() = default;
  // True when the desktop accepted the request; otherwise `reason` says why
  // not, in words the user can read.
  virtual bool openUrl(const QString& url, QString& reason) = 0;
  // True when the desktop accepted the request.
  virtual bool openLocalFile(const QString& path) = 0;
};

}  // namespace ombrel

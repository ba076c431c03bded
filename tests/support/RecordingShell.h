// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include "interfaces/Shell.h"

namespace ombrel::testing {

// A shell that opens nothing and remembers what it was handed.
class RecordingShell : public Shell {
 public:
  bool openUrl(const QString& url, QString& reason) override {
    urls << url;
    if (!accept) reason = "No browser here";
    return accept;
  }
  bool openLocalFile(const QString& path) override {
    files << path;
    return accept;
  }

  QStringList urls;
  QStringList files;
  bool accept = true;
};

}  // namespace ombrel::testing

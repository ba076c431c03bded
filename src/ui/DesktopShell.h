// SPDX-License-Identifier: MIT
#pragma once

#include "interfaces/Shell.h"

namespace ombrel {

// The real shell, on QDesktopServices.
class DesktopShell : public Shell {
 public:
  bool openUrl(const QString& url, QString& reason) override;
  bool openLocalFile(const QString& path) override;
};

}  // namespace ombrel

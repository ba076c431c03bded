// SPDX-License-Identifier: MIT
#include "interfaces/Dialogs.h"

namespace ombrel {

void Dialogs::warn(const QString& text) { messageBox(text, kWarningOk, QStringLiteral("Ombrel")); }

}  // namespace ombrel

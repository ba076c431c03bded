// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace ombrel {

class Dialogs;
namespace storage {
class DataDirectory;
}

// Keeps the chosen window colour in pwclr.dat for the next start. The file is
// replaced in one step, so a failure leaves the colour saved before; the user
// is told, and the window keeps the new colour for this session.
void saveColour(const storage::DataDirectory& dataDirectory, std::int32_t value, Dialogs& dialogs);

}  // namespace ombrel

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace ombrel {

class Dialogs;
class WindowState;
namespace storage {
class DataDirectory;
}

// The window's colour, kept in pwclr.dat for the next start. A colour value is
// red + 256 * green + 65536 * blue.

// Sets the window's colour from pwclr.dat; a missing, empty or non-numeric
// file leaves it as it is.
void applySavedColour(WindowState& window, const storage::DataDirectory& dataDirectory);

// Paints the window in `value` and keeps it in pwclr.dat. The file is
// replaced in one step, so a failure leaves the colour saved before; the user
// is told, and the window keeps the new colour for this session.
void chooseColour(WindowState& window, const storage::DataDirectory& dataDirectory,
                  std::int32_t value, Dialogs& dialogs);

}  // namespace ombrel

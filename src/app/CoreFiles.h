// SPDX-License-Identifier: MIT
#pragma once

namespace ombrel {

// Keeps the passwords the program holds in memory out of core files and away
// from other processes of the same user: no core file is written when it
// crashes (the working directory is the data directory, which a sync tool
// may copy elsewhere), and no other process may attach to it or read its
// memory. Called first thing at start.
void keepMemoryPrivate();

}  // namespace ombrel

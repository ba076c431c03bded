// SPDX-License-Identifier: MIT
#pragma once

namespace ombrel {

class Dialogs;
namespace storage {
class DataDirectory;
}

// Asks for a new master password of at least four characters, all of which the
// data files can carry, and stores it in pw.dat for the next start. pw.dat is
// replaced in one step, so a failure leaves the old password in force; the
// user is told when that happens.
void changePassword(const storage::DataDirectory& dataDirectory, Dialogs& dialogs);

}  // namespace ombrel

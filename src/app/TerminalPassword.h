// SPDX-License-Identifier: MIT
#pragma once

#include "password/PasswordGate.h"

namespace ombrel {

// The master password for a command run without a window. On a terminal the
// prompt "Enter the Password" goes to the terminal itself, never to standard
// output, and the answer is typed with echo off; a stop (Ctrl+Z) gives the
// echo back, and on continuing the prompt comes again and the password is
// typed afresh. When standard input is not a terminal, one line is read from
// it, with no prompt. The line end is not part of the answer; no line at all
// is the empty answer. A line longer than 4096 bytes, the line end not
// counted, is no answer.
PasswordAnswer askPasswordOnTerminal();

}  // namespace ombrel

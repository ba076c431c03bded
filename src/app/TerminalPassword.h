// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace ombrel {

// The master password for a command run without a window. On a terminal the
// prompt "Enter the Password" goes to the terminal itself, never to standard
// output, and the answer is typed with echo off. When standard input is not a
// terminal, one line is read from it, with no prompt. The line end is not
// part of the answer; no line at all is the empty answer.
QString askPasswordOnTerminal();

}  // namespace ombrel

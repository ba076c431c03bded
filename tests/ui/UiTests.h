// SPDX-License-Identifier: MIT
#pragma once

// Each test class of the window tests runs through one of these; main() runs
// them all and adds up the failures.
int runWindowLayoutTests(int argc, char** argv);
int runWindowInputTests(int argc, char** argv);
int runSortedListBoxTests(int argc, char** argv);
int runDialogsTests(int argc, char** argv);
int runWindowCommandsTests(int argc, char** argv);
int runDataFolderWatcherTests(int argc, char** argv);

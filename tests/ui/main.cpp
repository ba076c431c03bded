// SPDX-License-Identifier: MIT
#include <QApplication>

#include "UiTests.h"

// One executable for all window tests. The offscreen platform warns once per
// fixed-size window shown ("does not support propagateSizeHints"); that is
// expected there.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failures = 0;
  failures += runWindowLayoutTests(argc, argv);
  failures += runWindowInputTests(argc, argv);
  failures += runSortedListBoxTests(argc, argv);
  failures += runDialogsTests(argc, argv);
  failures += runWindowCommandsTests(argc, argv);
  failures += runDataFolderWatcherTests(argc, argv);
  return failures == 0 ? 0 : 1;
}

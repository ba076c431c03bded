// SPDX-License-Identifier: MIT
// ombrel_rss_probe DATA_DIR
//
// Starts the program's window on DATA_DIR as main() does (offscreen, the
// dialogs answering by themselves), shows it with its list filled, and prints
// one JSON line: the names listed, the peak resident memory of the process
// and the times from the start of main() to the QApplication, to the end of
// Form_Load and to the first shown window.
// One process per data directory, so that each peak is its own.
#include <sys/resource.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "BenchWindow.h"

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  try {
    auto msSinceStart = [&started] {
      return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
          .count();
    };
    const double appMs = msSinceStart();
    ombrel::bench::StartedWindow window(argv[1]);
    const double loadedMs = msSinceStart();
    window.form->show();
    QApplication::processEvents();
    const double shownMs = msSinceStart();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "{\"names\": %d, \"max_rss_kib\": %ld, \"app_ms\": %.1f, \"loaded_ms\": %.1f, "
        "\"shown_ms\": %.1f}\n",
        window.form->nameCount(), usage.ru_maxrss, appMs, loadedMs, shownMs);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}

// ombrel_rss_probe DATA_DIR
//
// Starts the program's window on DATA_DIR as main() does (offscreen, the
// dialogs answering by themselves), shows it with its list filled, and prints
// one JSON line: the names listed, the peak resident memory of the process
// and the time from the start of main() to the first shown window.
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
    ombrel::bench::StartedWindow window(argv[1]);
    window.form->show();
    QApplication::processEvents();
    const double shownMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"names\": %d, \"max_rss_kib\": %ld, \"shown_ms\": %.1f}\n",
                window.form->nameCount(), usage.ru_maxrss, shownMs);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "storage/DataDirectory.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "web/Shell.h"

namespace {

// Without a display Qt would abort with a message about platform plugins;
// say plainly what is missing instead.
bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!displayAvailable()) {
    std::fputs("ombrel: no graphical display available (DISPLAY is not set)\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ombrel"));

  ombrel::QtDialogs dialogs;
  ombrel::DesktopShell shell;
  ombrel::Form1 form(dialogs, shell, ombrel::storage::DataDirectory::fromWorkingDirectory());
  dialogs.setParent(&form);
  if (!form.formLoad()) return 1;
  form.show();
  // Once the event loop runs, so that the window is on screen behind it.
  QTimer::singleShot(0, &form, &ombrel::Form1::formShown);
  return app.exec();
}

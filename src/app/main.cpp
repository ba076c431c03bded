// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/CoreFiles.h"
#include "app/TerminalCommands.h"
#include "storage/DataDirectory.h"
#include "ui/DesktopShell.h"
#include "ui/Form1.h"
#include "ui/QtDialogs.h"

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

// The options are answered before anything needs a display, so that
// `ombrel --version` and the import and export work in a terminal without
// one, and a mistyped command never opens the window.
int answerCommandLine(const ombrel::CommandLine& commandLine) {
  using Action = ombrel::CommandLine::Action;
  switch (commandLine.action) {
    case Action::Help:
      std::fputs(ombrel::helpText().c_str(), stdout);
      return 0;
    case Action::Version:
      std::fputs(ombrel::versionText().c_str(), stdout);
      return 0;
    case Action::Usage:
      std::fprintf(stderr, "ombrel: %s\n%s", commandLine.error.c_str(),
                   ombrel::usageText().c_str());
      return 2;
    case Action::Run:
      break;
    default:
      return ombrel::runCommand(commandLine);
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  ombrel::keepMemoryPrivate();
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (int status = answerCommandLine(ombrel::parseCommandLine(arguments)); status >= 0) {
    return status;
  }
  if (!displayAvailable()) {
    std::fputs("ombrel: no graphical display available (DISPLAY is not set)\n", stderr);
    return 2;
  }
  // Qt reads no options of its own from our command line: the window takes
  // none, and Qt's are set through its environment variables instead.
  static char programName[] = "ombrel";
  char* qtArgv[] = {argc > 0 ? argv[0] : programName, nullptr};
  int qtArgc = 1;
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("ombrel"));
  // Lets a Wayland compositor match the window with the desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.ombrel.Ombrel"));
#ifndef QT_NO_SESSIONMANAGER
  // A session manager would restart this program directly, outside the data
  // directory that the launcher prepares; it is started by the user only.
  QObject::connect(&app, &QGuiApplication::saveStateRequest, [](QSessionManager& manager) {
    manager.setRestartHint(QSessionManager::RestartNever);
  });
#endif

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

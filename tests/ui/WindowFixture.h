// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QTest>
#include <memory>

#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataDir.h"
#include "ui/Form1.h"

namespace ombrel::testing {

// A window over an empty data directory, with scripted dialogs and a shell
// that opens nothing. Ending the program only records that it ended.
struct WindowFixture {
  TempDataDir dir;
  ScriptedDialogs dialogs;
  RecordingShell shell;
  Form1 form{dialogs, shell, storage::DataDirectory(dir.str())};
  int ended = 0;

  WindowFixture() {
    form.setEndProgram([this] { ++ended; });
  }

  bool showAndActivate() {
    form.show();
    return QTest::qWaitForWindowActive(&form);
  }

  template <typename T = QWidget>
  T* child(const char* name) const {
    return form.findChild<T*>(QString::fromLatin1(name));
  }

  // What the user sees of the window's state.
  QColor backgroundColour() const { return child("client")->palette().color(QPalette::Window); }
  QString hoverCaption() const { return child<QLabel>("Label3")->text(); }
  bool colourChooserShown() const { return !child("Frame4")->isHidden(); }

  // A member of a control array (Label2, clr) by its index.
  template <typename T = QWidget>
  T* member(const char* name, int index) const {
    for (T* candidate : form.findChildren<T*>(QString::fromLatin1(name))) {
      if (candidate->property("index").toInt() == index) return candidate;
    }
    return nullptr;
  }
};

// Design units: the layout is given in twips, 15 to the pixel.
inline int px(int twips) { return twips / 15; }

}  // namespace ombrel::testing

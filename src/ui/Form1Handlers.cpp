// SPDX-License-Identifier: MIT
// The window's event handlers. Each is short: it hands the window, the dialogs
// or the shell to the command that does the work.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <utility>

#include "entries/EntryCommands.h"
#include "entries/SharedFolder.h"
#include "startup/ChangePassword.h"
#include "startup/ColourFile.h"
#include "startup/Startup.h"
#include "ui/DataFolderWatcher.h"
#include "ui/Form1.h"
#include "web/WebCommands.h"

namespace ombrel {

bool Form1::formLoad() {
  if (runStartup(*this, dataDirectory_, dialogs_, &damagedTail_) != StartupOutcome::Ready)
    return false;
  followDataFolder();
  return true;
}

void Form1::formShown() {
  warnDamagedEntryFile(dataDirectory_, dialogs_, std::exchange(damagedTail_, 0));
  // Copies left while the program was not running are offered once the
  // window is up, after what start-up found, which they may depend on.
  settleConflictCopies();
}

void Form1::followDataFolder() {
  watcher_ = new DataFolderWatcher(std::filesystem::path(dataDirectory_.path()), this);
  connect(watcher_, &DataFolderWatcher::entriesChanged, this,
          [this] { followEntryFile(*this, dataDirectory_, dialogs_, reloadFailureTold_); });
  connect(watcher_, &DataFolderWatcher::colourChanged, this,
          [this] { applySavedColour(*this, dataDirectory_); });
  connect(watcher_, &DataFolderWatcher::folderChanged, this, &Form1::settleConflictCopies);
  watcher_->start();
}

void Form1::settleConflictCopies() {
  if (ombrel::settleConflictCopies(dataDirectory_, dialogs_, settledCopies_))
    followEntryFile(*this, dataDirectory_, dialogs_, reloadFailureTold_);
}

void Form1::List1_Click() { showSelectedEntry(*this, dataDirectory_); }

// New
void Form1::f1_Click() { newEntry(*this, dataDirectory_, dialogs_, kNewEntryPrompt); }
void Form1::Image4_Click() { newEntry(*this, dataDirectory_, dialogs_, kNewEntryPrompt); }
void Form1::Command9_Click() { newEntry(*this, dataDirectory_, dialogs_, kNewEntryPanelPrompt); }
void Form1::Command1_Click() { newEntry(*this, dataDirectory_, dialogs_, kNewEntryPanelPrompt); }

// Save; the image does nothing while no entry is named.
void Form1::f2_Click() { saveEntry(*this, dataDirectory_, dialogs_); }
void Form1::Image1_Click() {
  if (!lblw->text().isEmpty()) saveEntry(*this, dataDirectory_, dialogs_);
}
void Form1::Command7_Click() { saveEntry(*this, dataDirectory_, dialogs_); }
void Form1::Command3_Click() { saveEntry(*this, dataDirectory_, dialogs_); }

// Delete; the image does nothing while no entry is named.
void Form1::f3_Click() { deleteEntry(*this, dataDirectory_, dialogs_); }
void Form1::Image2_Click() {
  if (!lblw->text().isEmpty()) deleteEntry(*this, dataDirectory_, dialogs_);
}
void Form1::Command8_Click() { deleteEntry(*this, dataDirectory_, dialogs_); }
void Form1::Command4_Click() { deleteEntry(*this, dataDirectory_, dialogs_); }

// Maintenance
void Form1::Command5_Click() { encodePlainEntryFile(dataDirectory_, dialogs_); }
void Form1::Command6_Click() { loadTempEntryNames(*this, dataDirectory_); }

// Open Site
void Form1::Image3_Click() { openSite(shell_, dialogs_, lblw->text()); }
void Form1::Command2_Click() { openSite(shell_, dialogs_, lblw->text()); }

// Exit
void Form1::om4_Click() { endProgram(); }
void Form1::Command10_Click() { endProgram(); }

void Form1::om1_Click() { changePassword(dataDirectory_, dialogs_); }

// Colour chooser
void Form1::om7_Click() {
  Frame4->show();
  Frame4->raise();
}

void Form1::clr_Click(int index) {
  const std::int32_t value = swatchValue(index);
  setBackgroundColour(value);
  saveColour(dataDirectory_, value, dialogs_);
}

void Form1::Command11_Click() { Frame4->hide(); }

// Hover captions
void Form1::Image4_MouseMove() { Label3->setText("New"); }
void Form1::Image1_MouseMove() { Label3->setText("Save"); }
void Form1::Image2_MouseMove() { Label3->setText("Delete"); }
void Form1::Image3_MouseMove() { Label3->setText("Open Site"); }
void Form1::Frame3_MouseMove() { Label3->setText(QString()); }

// Help, About, Web Site
void Form1::om2_Click() { showAbout(dialogs_); }
void Form1::om5_Click() { openMakerSite(shell_); }
void Form1::h1_Click() { openHelp(shell_, dataDirectory_); }

}  // namespace ombrel

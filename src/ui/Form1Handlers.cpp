// SPDX-License-Identifier: MIT
// The window's event handlers. Each is one line: the session runs the
// command.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "entries/EntryCommands.h"
#include "ui/DataFolderWatcher.h"
#include "ui/Form1.h"

namespace ombrel {

bool Form1::formLoad() {
  if (!session_.start()) return false;
  followDataFolder();
  return true;
}

void Form1::formShown() { session_.started(); }

void Form1::followDataFolder() {
  watcher_ = new DataFolderWatcher(std::filesystem::path(session_.dataDirectory().path()), this);
  watcher_->setCommandRunning([this] { return session_.commandRunning(); });
  session_.setWriteObserver(watcher_);
  connect(watcher_, &DataFolderWatcher::entriesChanged, this,
          [this] { session_.entryFileChanged(); });
  connect(watcher_, &DataFolderWatcher::colourChanged, this,
          [this] { session_.colourFileChanged(); });
  connect(watcher_, &DataFolderWatcher::folderChanged, this, [this] { session_.folderChanged(); });
  watcher_->start();
}

void Form1::List1_Click() { session_.showPickedEntry(); }

// New
void Form1::f1_Click() { session_.newEntry(kNewEntryPrompt); }
void Form1::Image4_Click() { session_.newEntry(kNewEntryPrompt); }
void Form1::Command9_Click() { session_.newEntry(kNewEntryPanelPrompt); }
void Form1::Command1_Click() { session_.newEntry(kNewEntryPanelPrompt); }

// Save; the image does nothing while no entry is named.
void Form1::f2_Click() { session_.saveEntry(); }
void Form1::Image1_Click() {
  if (!lblw->text().isEmpty()) session_.saveEntry();
}
void Form1::Command7_Click() { session_.saveEntry(); }
void Form1::Command3_Click() { session_.saveEntry(); }

// Delete; the image does nothing while no entry is named.
void Form1::f3_Click() { session_.deleteEntry(); }
void Form1::Image2_Click() {
  if (!lblw->text().isEmpty()) session_.deleteEntry();
}
void Form1::Command8_Click() { session_.deleteEntry(); }
void Form1::Command4_Click() { session_.deleteEntry(); }

// Maintenance
void Form1::Command5_Click() { session_.encodePlainEntryFile(); }
void Form1::Command6_Click() { session_.loadTempEntryNames(); }

// Open Site
void Form1::Image3_Click() { session_.openSite(); }
void Form1::Command2_Click() { session_.openSite(); }

// Exit
void Form1::om4_Click() { endProgram(); }
void Form1::Command10_Click() { endProgram(); }

void Form1::om1_Click() { session_.changePassword(); }

// Colour chooser
void Form1::om7_Click() {
  Frame4->show();
  Frame4->raise();
}

void Form1::clr_Click(int index) { session_.chooseColour(swatchValue(index)); }

void Form1::Command11_Click() { Frame4->hide(); }

// Hover captions
void Form1::Image4_MouseMove() { Label3->setText("New"); }
void Form1::Image1_MouseMove() { Label3->setText("Save"); }
void Form1::Image2_MouseMove() { Label3->setText("Delete"); }
void Form1::Image3_MouseMove() { Label3->setText("Open Site"); }
void Form1::Frame3_MouseMove() { Label3->setText(QString()); }

// Help, About, Web Site
void Form1::om2_Click() { session_.showAbout(); }
void Form1::om5_Click() { session_.openMakerSite(); }
void Form1::h1_Click() { session_.openHelp(); }

}  // namespace ombrel

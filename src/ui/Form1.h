// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "interfaces/WindowState.h"
#include "session/Session.h"
#include "storage/DataDirectory.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ombrel {

class DataFolderWatcher;
class Dialogs;
class Shell;
class ImageButton;
class PictureBox;
class SortedListBox;
class ToolBarFrame;

// The one window of the program. It holds every control and the menus, each
// bound to its handlers where it is created; the handlers are named after the
// control and the event. Controls carry their design names as object
// names (array members share the name and carry an "index" property).
class Form1 : public QMainWindow, public WindowState {
  Q_OBJECT

 public:
  Form1(Dialogs& dialogs, Shell& shell, storage::DataDirectory dataDirectory,
        QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up, run once before the window is shown. False when the program must
  // end instead (no password file, wrong password).
  bool formLoad();
  // Run once the window is shown: tells what start-up found that the user
  // must know but that does not stop the program (a damaged entry file), then
  // offers the conflict copies a sync tool left.
  void formShown();

  // What ending the program does; quits the application unless a test sets
  // its own.
  void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }

  // WindowState
  QString boxText(Box box) const override;
  void setBoxText(Box box, const QString& text) override;
  int nameCount() const override;
  QString nameAt(int index) const override;
  int selectedIndex() const override;
  void setSelectedIndex(int index) override;
  void addName(const QString& name) override;
  void addNames(NameBlock names) override;
  void removeName(const QString& name) override;
  void clearNames() override;
  void setBackgroundColour(std::int32_t value) override;

  // Handlers, one per control event.
  void List1_Click();

  void f1_Click();
  void Image4_Click();
  void Command9_Click();
  void Command1_Click();

  void f2_Click();
  void Image1_Click();
  void Command7_Click();
  void Command3_Click();

  void f3_Click();
  void Image2_Click();
  void Command8_Click();
  void Command4_Click();

  void Command5_Click();
  void Command6_Click();

  void Image3_Click();
  void Command2_Click();

  void om4_Click();
  void Command10_Click();

  void om1_Click();
  void om7_Click();
  void clr_Click(int index);
  void Command11_Click();

  void Image4_MouseMove();
  void Image1_MouseMove();
  void Image2_MouseMove();
  void Image3_MouseMove();
  void Frame3_MouseMove();

  void om2_Click();
  void om5_Click();
  void h1_Click();

 protected:
  // Closing the window ends the program at once, without a question.
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createToolBar();
  void createColourChooser();
  void createHiddenPanel();
  void createMenus();
  void setTabOrder();
  void endProgram();
  // From start-up on, the list and the colour follow their files on disk and
  // conflict copies left by a sync tool are offered for merging.
  void followDataFolder();
  // The colour value (red + 256 * green + 65536 * blue) of swatch clr[index].
  std::int32_t swatchValue(int index) const;

  Session session_;  // what the handlers run, and all they remember
  std::function<void()> endProgram_;
  DataFolderWatcher* watcher_ = nullptr;

  QWidget* client_ = nullptr;  // the client area, painted in the window's colour

  QLabel* Picture1 = nullptr;
  QLabel* Label3 = nullptr;
  std::array<QLabel*, 6> Label2{};
  QLineEdit* lblw = nullptr;
  QLineEdit* lblu = nullptr;
  QLineEdit* lblp = nullptr;
  QPlainTextEdit* Text1 = nullptr;
  SortedListBox* List1 = nullptr;

  ToolBarFrame* Frame3 = nullptr;
  ImageButton* Image4 = nullptr;
  ImageButton* Image1 = nullptr;
  ImageButton* Image2 = nullptr;
  ImageButton* Image3 = nullptr;

  QFrame* Frame4 = nullptr;
  std::array<PictureBox*, 24> clr{};
  QPushButton* Command11 = nullptr;

  QGroupBox* Frame1 = nullptr;
  QWidget* Dir1 = nullptr;
  QFrame* Frame2 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command6 = nullptr;
  QPushButton* Command7 = nullptr;
  QPushButton* Command8 = nullptr;
  QPushButton* Command9 = nullptr;
  QPushButton* Command10 = nullptr;
};

}  // namespace ombrel

// SPDX-License-Identifier: MIT
#include "ui/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVariant>
#include <limits>

#include "ui/CaptionLabel.h"
#include "ui/DeleteKeyFilter.h"
#include "ui/ImageButton.h"
#include "ui/PasswordBox.h"
#include "ui/PictureBox.h"
#include "ui/SortedListBox.h"
#include "ui/TextContrast.h"
#include "ui/ToolBarFrame.h"

namespace {

// Longer runs without a blank are wrapped anywhere (see setBoxText).
constexpr qsizetype kLongestWordWrappedRun = 2000;

bool hasLongUnbrokenRun(const QString& text) {
  qsizetype run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kLongestWordWrappedRun) return true;
  }
  return false;
}

}  // namespace

// The artwork is compiled into the window's static library, whose resource
// initialiser the linker would drop unless something refers to it.
static void initResources() { Q_INIT_RESOURCE(ombrel); }

namespace ombrel {

namespace {

// The layout is drawn in twips: 15 twips make one pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
  const int half = kTwipsPerPixel / 2;
  return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

void place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(px(left), px(top), px(width), px(height));
}

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QFont designFont(const char* family, int points, bool bold) {
  QFont font{QString::fromLatin1(family)};
  font.setPointSize(points);
  font.setBold(bold);
  return font;
}

// Times New Roman 12 bold, by its metric-compatible stand-in.
QFont serifBold() { return designFont("Liberation Serif", 12, true); }
// MS Sans Serif 12 bold.
QFont sansBold() { return designFont("Liberation Sans", 12, true); }
// The user-interface font of controls that have none of their own.
QFont interfaceFont() { return designFont("Liberation Sans", 8, false); }

// A one-line box set from code shows where its text begins: setText alone
// leaves the caret at the end, and a long address or name then shows only its
// last characters.
void showFromStart(QLineEdit* box, const QString& text) {
  box->setText(text);
  box->setCursorPosition(0);
}

// Paints a widget in the window's colour. Its labels take their text colour
// from the same place, not from the desktop theme, whose text colour is made
// for the theme's own window colour (white on a dark theme). Only these two
// roles are set: text boxes and the list keep the theme's base and text.
void setWindowColour(QWidget* widget, const QColor& colour) {
  QPalette palette;
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::WindowText, textColourOn(colour));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// The system's own panel colours, whatever colour the window around it takes.
void setSystemPanelColours(QWidget* widget) {
  const QPalette system = QApplication::palette();
  QPalette palette;
  palette.setColor(QPalette::Window, system.color(QPalette::Window));
  palette.setColor(QPalette::WindowText, system.color(QPalette::WindowText));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// The colour chooser's palette, row by row, eight swatches to a row, and the
// name a screen reader says for each: pale tints, stronger tints, then full
// colours, each row led by white or a grey.
struct Swatch {
  QRgb colour;
  const char* name;
};
constexpr std::array<Swatch, 24> kPalette = {{
    {qRgb(255, 255, 255), "White"},
    {qRgb(255, 192, 192), "Pale Red"},
    {qRgb(255, 224, 192), "Pale Orange"},
    {qRgb(255, 255, 192), "Pale Yellow"},
    {qRgb(192, 255, 192), "Pale Green"},
    {qRgb(192, 255, 255), "Pale Cyan"},
    {qRgb(192, 192, 255), "Pale Blue"},
    {qRgb(255, 192, 255), "Pale Magenta"},
    {qRgb(224, 224, 224), "Light Grey"},
    {qRgb(255, 128, 128), "Light Red"},
    {qRgb(255, 192, 128), "Light Orange"},
    {qRgb(255, 255, 128), "Light Yellow"},
    {qRgb(128, 255, 128), "Light Green"},
    {qRgb(128, 255, 255), "Light Cyan"},
    {qRgb(128, 128, 255), "Light Blue"},
    {qRgb(255, 128, 255), "Light Magenta"},
    {qRgb(192, 192, 192), "Grey"},
    {qRgb(255, 0, 0), "Red"},
    {qRgb(255, 128, 0), "Orange"},
    {qRgb(255, 255, 0), "Yellow"},
    {qRgb(0, 255, 0), "Green"},
    {qRgb(0, 255, 255), "Cyan"},
    {qRgb(0, 0, 255), "Blue"},
    {qRgb(255, 0, 255), "Magenta"},
}};

struct LabelDesign {
  int index;
  const char* caption;
  int left, top, width, height;
};

// Every member of the Label2 array but the chooser's heading.
constexpr LabelDesign kWindowLabels[] = {
    {4, "Web Site", 6120, 1560, 1215, 255},    {1, "User Name", 6120, 2040, 1335, 255},
    {3, "Notes", 6120, 3120, 4335, 255},       {2, "Password", 6120, 2520, 1335, 255},
    {0, "Web Address", 1200, 1440, 3615, 255},
};

struct ButtonDesign {
  QPushButton* Form1::*member;
  const char* name;
  const char* caption;
  int left, top, width, height;
  bool serif;  // Times New Roman 12 bold, otherwise the interface font
  void (Form1::*clicked)();
};

}  // namespace

Form1::Form1(Dialogs& dialogs, Shell& shell, storage::DataDirectory dataDirectory, QWidget* parent)
    : QMainWindow(parent), session_(*this, dialogs, shell, std::move(dataDirectory)) {
  initResources();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tavik's Ombrel Version 1.0"));
  QIcon icon;
  icon.addFile(QStringLiteral(":/ombrel/icon16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/ombrel/icon32.png"), QSize(32, 32));
  setWindowIcon(icon);

  client_ = named(new QWidget(this), "client");
  client_->setFixedSize(px(12135), px(7335));
  client_->setFont(interfaceFont());
  setWindowColour(client_, Qt::white);
  setCentralWidget(client_);

  // Creation order is the stacking order: later controls lie in front.
  createControls();
  createToolBar();
  createHiddenPanel();
  createColourChooser();
  createMenus();
  setTabOrder();

  // The client area keeps its design size; the window cannot be resized.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  List1->setFocus();
}

Form1::~Form1() = default;

void Form1::createControls() {
  Picture1 = named(new QLabel(client_), "Picture1");
  place(Picture1, 360, 120, 11415, 1215);
  Picture1->setPixmap(QPixmap(QStringLiteral(":/ombrel/banner.png")));
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWindowColour(Picture1, Qt::white);
  // The banner is a Tab stop, where a screen reader reads out its words.
  Picture1->setFocusPolicy(Qt::TabFocus);
  Picture1->setAccessibleName(QStringLiteral("Ombrel"));
  Picture1->setAccessibleDescription(QStringLiteral("keeps your web-site logins under cover"));

  // The hover caption stands in front of the banner.
  Label3 = named(new CaptionLabel(client_), "Label3");
  place(Label3, 960, 840, 1215, 255);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label3->raise();

  // The other labels draw no background, so the window's colour shows.
  for (const LabelDesign& design : kWindowLabels) {
    QLabel* label = named(new QLabel(QString::fromLatin1(design.caption), client_), "Label2");
    label->setProperty("index", design.index);
    place(label, design.left, design.top, design.width, design.height);
    label->setFont(serifBold());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2[design.index] = label;
  }

  auto* deleteKey = new DeleteKeyFilter(this);
  auto lineBox = [&](QLineEdit* box, const char* name, int top) {
    named(box, name);
    place(box, 7560, top, 4215, 375);
    // Qt's default cuts a text at 32,767 characters; a box must show a field
    // whole, or Save would write it back cut short.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setFont(sansBold());
    box->installEventFilter(deleteKey);
    return box;
  };
  lblw = lineBox(new QLineEdit(QStringLiteral("Text2"), client_), "lblw", 1560);
  lblu = lineBox(new QLineEdit(QStringLiteral("Text2"), client_), "lblu", 2040);
  // The password shows in clear, but is kept off the desktop's selection and
  // clipboard history.
  lblp = lineBox(new PasswordBox(QStringLiteral("Text2"), client_), "lblp", 2520);
  lblw->setAccessibleName(QStringLiteral("Web Site"));
  lblu->setAccessibleName(QStringLiteral("User Name"));
  lblp->setAccessibleName(QStringLiteral("Password"));

  Text1 = named(new QPlainTextEdit(QStringLiteral("Text1"), client_), "Text1");
  place(Text1, 6720, 3480, 5055, 3495);
  Text1->setFont(serifBold());
  Text1->setTabChangesFocus(true);  // Tab moves on, as in every other box
  Text1->installEventFilter(deleteKey);
  Text1->setAccessibleName(QStringLiteral("Notes"));

  List1 = named(new SortedListBox(client_), "List1");
  place(List1, 1200, 1800, 4575, 5190);
  List1->setFont(serifBold());
  List1->setAccessibleName(QStringLiteral("Web Address"));
  connect(List1, &SortedListBox::userSelectionChanged, this, &Form1::List1_Click);
}

void Form1::createToolBar() {
  Frame3 = named(new ToolBarFrame(client_), "Frame3");
  place(Frame3, 240, 1800, 735, 2895);
  Frame3->setFrameStyle(QFrame::Box | QFrame::Sunken);

  connect(Frame3, &ToolBarFrame::mouseMoved, this, &Form1::Frame3_MouseMove);

  auto image = [&](const char* name, const char* picture, const char* caption, int top,
                   void (Form1::*clicked)(), void (Form1::*mouseMoved)()) {
    auto* button = named(new ImageButton(Frame3), name);
    place(button, 120, top, 495, 495);
    button->setPixmap(QPixmap(QStringLiteral(":/ombrel/") + QString::fromLatin1(picture)));
    // A screen reader has the hover caption as the description, as the
    // mouse shows it.
    button->setAccessibleName(QString::fromLatin1(caption));
    button->setAccessibleDescription(QString::fromLatin1(caption));
    connect(button, &ImageButton::clicked, this, clicked);
    connect(button, &ImageButton::mouseMoved, this, mouseMoved);
    return button;
  };
  Image4 = image("Image4", "new.png", "New", 120, &Form1::Image4_Click, &Form1::Image4_MouseMove);
  Image1 = image("Image1", "save.png", "Save", 720, &Form1::Image1_Click, &Form1::Image1_MouseMove);
  Image2 =
      image("Image2", "delete.png", "Delete", 1320, &Form1::Image2_Click, &Form1::Image2_MouseMove);
  Image3 = image("Image3", "opensite.png", "Open Site", 2160, &Form1::Image3_Click,
                 &Form1::Image3_MouseMove);
}

void Form1::createColourChooser() {
  Frame4 = named(new QFrame(client_), "Frame4");
  place(Frame4, 4080, 2280, 4575, 2775);
  Frame4->setFrameStyle(QFrame::Box | QFrame::Sunken);
  setSystemPanelColours(Frame4);

  QLabel* heading = named(new QLabel(QStringLiteral("Choose Background Color"), Frame4), "Label2");
  heading->setProperty("index", 5);
  place(heading, 240, 240, 3615, 375);
  heading->setFont(serifBold());
  heading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label2[5] = heading;

  for (int index = 0; index < static_cast<int>(clr.size()); ++index) {
    auto* swatch = named(new PictureBox(QColor(kPalette[index].colour), Frame4), "clr");
    swatch->setProperty("index", index);
    swatch->setAccessibleName(QString::fromLatin1(kPalette[index].name));
    const int row = index / 8;
    const int column = index % 8;
    place(swatch, 360 + 480 * column, 600 + 480 * row, 375, 375);
    connect(swatch, &PictureBox::clicked, this, [this, index] { clr_Click(index); });
    clr[index] = swatch;
  }

  Command11 = named(new QPushButton(QStringLiteral("OK"), Frame4), "Command11");
  place(Command11, 1800, 2160, 1215, 375);
  connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);

  // In front of the list, the notes and the password it covers.
  Frame4->raise();
  Frame4->hide();
}

void Form1::createHiddenPanel() {
  // A panel that is never shown: its buttons keep their bindings, but no
  // user can see, click or tab to them.
  Frame1 = named(new QGroupBox(QStringLiteral("Frame1"), client_), "Frame1");
  place(Frame1, -6240, 4560, 7455, 6855);

  Dir1 = named(new QWidget(Frame1), "Dir1");
  place(Dir1, 0, 0, 1335, 990);
  Dir1->hide();

  Frame2 = named(new QFrame(Frame1), "Frame2");
  place(Frame2, -2760, 4920, 9135, 855);
  Frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);

  const ButtonDesign inFrame2[] = {
      {&Form1::Command9, "Command9", "New", 120, 240, 1575, 495, true, &Form1::Command9_Click},
      {&Form1::Command7, "Command7", "Save", 1920, 240, 1575, 495, true, &Form1::Command7_Click},
      {&Form1::Command8, "Command8", "Delete", 3720, 240, 1575, 495, true, &Form1::Command8_Click},
      {&Form1::Command2, "Command2", "Open Site", 5520, 240, 1575, 495, true,
       &Form1::Command2_Click},
      {&Form1::Command10, "Command10", "Exit", 7320, 240, 1575, 495, true, &Form1::Command10_Click},
  };
  const ButtonDesign inFrame1[] = {
      {&Form1::Command4, "Command4", "Delete", -120, 3240, 1815, 495, true, &Form1::Command4_Click},
      {&Form1::Command3, "Command3", "Save", 0, 2400, 1815, 495, true, &Form1::Command3_Click},
      {&Form1::Command1, "Command1", "New", 0, 1560, 1815, 495, true, &Form1::Command1_Click},
      {&Form1::Command6, "Command6", "Load", 120, 840, 1095, 495, false, &Form1::Command6_Click},
      {&Form1::Command5, "Command5", "code password.dat", 120, 120, 1095, 495, false,
       &Form1::Command5_Click},
  };
  auto build = [this](const ButtonDesign& design, QWidget* container) {
    auto* button =
        named(new QPushButton(QString::fromLatin1(design.caption), container), design.name);
    place(button, design.left, design.top, design.width, design.height);
    if (design.serif) button->setFont(serifBold());
    connect(button, &QPushButton::clicked, this, design.clicked);
    this->*design.member = button;
  };
  for (const ButtonDesign& design : inFrame2) build(design, Frame2);
  for (const ButtonDesign& design : inFrame1) build(design, Frame1);

  Frame1->hide();
}

void Form1::createMenus() {
  // Each item is created, given its key and bound to its handler in one place.
  auto item = [this](QMenu* menu, const char* name, const char* caption, void (Form1::*handler)(),
                     const QKeySequence& shortcut = QKeySequence()) {
    QAction* action = named(menu->addAction(QString::fromLatin1(caption)), name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };
  auto separator = [](QMenu* menu, const char* name) { named(menu->addSeparator(), name); };

  // The "&" marks each caption's access key; screen readers and the visible
  // text leave it out.
  QMenu* file = named(menuBar()->addMenu(QStringLiteral("&File")), "f0");
  item(file, "f1", "&New", &Form1::f1_Click, QKeySequence(Qt::CTRL | Qt::Key_N));
  item(file, "f2", "&Save", &Form1::f2_Click, QKeySequence(Qt::CTRL | Qt::Key_S));
  item(file, "f3", "&Delete", &Form1::f3_Click, QKeySequence(Qt::Key_Delete));
  separator(file, "om3");
  item(file, "om4", "E&xit", &Form1::om4_Click);

  QMenu* ombrel = named(menuBar()->addMenu(QStringLiteral("&Ombrel")), "om");
  item(ombrel, "om1", "Change &Password", &Form1::om1_Click);
  item(ombrel, "om7", "Change &Color", &Form1::om7_Click);
  item(ombrel, "om2", "&About", &Form1::om2_Click);
  item(ombrel, "om5", "&Web Site", &Form1::om5_Click);
  separator(ombrel, "om6");
  item(ombrel, "h1", "&Help", &Form1::h1_Click, QKeySequence(Qt::Key_F1));

  // Open Site has no menu item; this key reaches it from anywhere in the
  // window, as the picture does with the mouse.
  auto* openSiteKey = named(new QAction(this), "openSiteKey");
  openSiteKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(openSiteKey, &QAction::triggered, this, &Form1::Image3_Click);
  addAction(openSiteKey);
}

void Form1::setTabOrder() {
  // Hidden controls drop out of the Tab chain by themselves: the swatches and
  // the OK button count only while the chooser is shown, and nothing on the
  // hidden panel ever does.
  QList<QWidget*> chain{List1, Text1, lblw, lblu, lblp};
  for (PictureBox* swatch : clr) chain << swatch;
  chain << Command11 << Picture1;
  for (qsizetype i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void Form1::endProgram() {
  if (endProgram_) {
    endProgram_();
    return;
  }
  hide();
  QCoreApplication::exit(0);
}

void Form1::closeEvent(QCloseEvent* event) {
  event->accept();
  endProgram();
}

// WindowState

QString Form1::boxText(Box box) const {
  switch (box) {
    case Box::Web:
      return lblw->text();
    case Box::User:
      return lblu->text();
    case Box::Password:
      return lblp->text();
    case Box::Notes:
      // The notes box shows each line break as one paragraph break; the files
      // keep them as CR LF, as the notes were typed and read.
      return Text1->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  }
  return QString();
}

void Form1::setBoxText(Box box, const QString& text) {
  switch (box) {
    case Box::Web:
      showFromStart(lblw, text);
      break;
    case Box::User:
      showFromStart(lblu, text);
      break;
    case Box::Password:
      showFromStart(lblp, text);
      break;
    case Box::Notes:
      // Qt wraps a line that has no blank to break at in time that grows with
      // the square of its length: a megabyte-long run from a damaged file held
      // the window for minutes. Such text is broken anywhere instead; ordinary
      // notes keep breaking between words.
      // The mode is changed while the box holds the shorter of the two texts,
      // since a change lays out again what the box holds.
      if (hasLongUnbrokenRun(text)) {
        Text1->setWordWrapMode(QTextOption::WrapAnywhere);
        Text1->setPlainText(text);
      } else {
        Text1->setPlainText(text);
        Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      }
      break;
  }
}

int Form1::nameCount() const { return List1->count(); }
QString Form1::nameAt(int index) const { return List1->nameAt(index); }
int Form1::selectedIndex() const { return List1->selectedIndex(); }
void Form1::setSelectedIndex(int index) { List1->setCurrentRowSilently(index); }
void Form1::addName(const QString& name) { List1->addName(name); }
void Form1::addNames(NameBlock names) { List1->addNames(std::move(names)); }
void Form1::removeName(const QString& name) { List1->removeName(name); }
void Form1::clearNames() { List1->clearNames(); }

void Form1::setBackgroundColour(std::int32_t value) {
  if (value < 0 || value > 0xFFFFFF) return;
  // The value is red + 256 * green + 65536 * blue.
  const QColor colour(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
  setWindowColour(client_, colour);
}

std::int32_t Form1::swatchValue(int index) const {
  const QColor colour = clr.at(index)->colour();
  return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

}  // namespace ombrel

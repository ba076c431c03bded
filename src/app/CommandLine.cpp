// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

#ifndef OMBREL_VERSION
#error "OMBREL_VERSION must be defined by the build"
#endif

namespace ombrel {
namespace {

using Action = CommandLine::Action;

// The options that take a value, each also accepted as --name=VALUE.
const QStringList kValueOptions = {QStringLiteral("import"),      QStringLiteral("export"),
                                   QStringLiteral("format"),      QStringLiteral("show"),
                                   QStringLiteral("check-pwned"), QStringLiteral("field")};

// The commands, of which one at a time is given, and the options that take
// the file or name each works on.
struct Command {
  const char* option;
  CommandLine::Action action;
  bool takesValue;
};
const Command kCommands[] = {
    {"import", CommandLine::Action::Import, true},
    {"export", CommandLine::Action::Export, true},
    {"list", CommandLine::Action::List, false},
    {"show", CommandLine::Action::Show, true},
    {"report", CommandLine::Action::Report, false},
    {"check-pwned", CommandLine::Action::CheckPwned, true},
};

// Each argument goes to the parser as Latin-1, one character per byte, so
// that a file name comes back byte for byte, whatever its encoding: a name
// decoded as UTF-8 would lose a byte that is not UTF-8.
QString fromBytes(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
std::string toBytes(const QString& text) { return text.toLatin1().toStdString(); }

// The name an argument gives an option: "--export=x" gives "export".
QString optionName(const QString& argument) {
  QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
  return name.left(name.indexOf(u'='));
}

bool isOption(const QString& argument) { return argument.size() > 1 && argument.startsWith(u'-'); }

// What QCommandLineParser allows and we do not, or reports only in its own
// words: read from the arguments as given, up to "--".
std::optional<std::string> mistakeIn(const QStringList& arguments,
                                     const QCommandLineParser& parser) {
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QStringLiteral("--")) break;
    if (!isOption(argument)) continue;
    const QString name = optionName(argument);
    const std::string shown = toBytes(argument);
    if (parser.unknownOptionNames().contains(name)) return "unrecognized option '" + shown + "'";
    const bool takesValue = kValueOptions.contains(name);
    const bool hasEquals = argument.contains(u'=');
    if (!takesValue) {
      if (hasEquals) return "unrecognized option '" + shown + "'";
      continue;
    }
    const QString option = QStringLiteral("--") + name;
    if (hasEquals) {
      if (argument.section(u'=', 1).isEmpty())
        return "option '" + toBytes(option) + "' requires an argument";
      continue;
    }
    // A value as the next argument never looks like an option, so that
    // `--export --help` cannot write every password to a file named --help.
    const bool valueFollows = i + 1 < arguments.size() && !arguments[i + 1].isEmpty() &&
                              (!isOption(arguments[i + 1]) || arguments[i + 1] == "-");
    if (!valueFollows) {
      if (i + 1 < arguments.size() && !arguments[i + 1].isEmpty())
        return "option '" + toBytes(option) + "' requires an argument; a value that starts with " +
               "'-' is given as " + toBytes(option) + "=VALUE";
      return "option '" + toBytes(option) + "' requires an argument";
    }
    ++i;
  }
  return std::nullopt;
}

CommandLine asking(Action action, std::string file = {},
                   const CsvFormat* format = &defaultExportFormat()) {
  CommandLine commandLine;
  commandLine.action = action;
  commandLine.file = std::move(file);
  commandLine.format = format;
  return commandLine;
}

CommandLine usage(std::string error) {
  CommandLine commandLine = asking(Action::Usage);
  commandLine.error = std::move(error);
  return commandLine;
}

std::optional<std::string> oneValue(const QCommandLineParser& parser, const QString& name) {
  const QStringList values = parser.values(name);
  if (values.size() > 1) return "option '--" + toBytes(name) + "' given twice";
  return std::nullopt;
}

// An option that works for one command only, given with another.
std::optional<std::string> misplaced(const QCommandLineParser& parser, const char* option,
                                     CommandLine::Action owner, CommandLine::Action given,
                                     const char* ownerOption) {
  if (!parser.isSet(QString::fromLatin1(option)) || given == owner) return std::nullopt;
  return std::string("option '--") + option + "' applies to --" + ownerOption + " only";
}

// The options after they have been read: what they ask for together.
CommandLine meaningOf(const QCommandLineParser& parser) {
  if (!parser.positionalArguments().isEmpty())
    return usage("unexpected argument '" + toBytes(parser.positionalArguments().first()) + "'");
  const Command* command = nullptr;
  for (const Command& each : kCommands) {
    const qsizetype given = parser.values(QString::fromLatin1(each.option)).size() +
                            (each.takesValue ? 0 : parser.isSet(QString::fromLatin1(each.option)));
    if (given == 0) continue;
    if (command || given > 1)
      return usage(
          "give only one of --import, --export, --list, --show, --report and "
          "--check-pwned");
    command = &each;
  }
  for (const char* option : {"format", "field"})
    if (auto twice = oneValue(parser, QString::fromLatin1(option))) return usage(*twice);

  const CsvFormat* format = &defaultExportFormat();
  if (parser.isSet(QStringLiteral("format"))) {
    const std::string name = toBytes(parser.value(QStringLiteral("format")));
    format = exportFormatNamed(name);
    if (!format)
      return usage("unknown format '" + name + "' (" + exportFormatNames().toStdString() + ")");
  }
  ShownField field = ShownField::All;
  if (parser.isSet(QStringLiteral("field"))) {
    const std::string name = toBytes(parser.value(QStringLiteral("field")));
    const std::optional<ShownField> named = shownFieldNamed(QString::fromStdString(name));
    if (!named) return usage("unknown field '" + name + "' (name, url, user, password or notes)");
    field = *named;
  }
  const Action action = command ? command->action : Action::Run;
  if (auto wrong = misplaced(parser, "format", Action::Export, action, "export"))
    return usage(*wrong);
  if (auto wrong = misplaced(parser, "field", Action::Show, action, "show")) return usage(*wrong);
  const std::string value = command && command->takesValue
                                ? toBytes(parser.value(QString::fromLatin1(command->option)))
                                : std::string();
  // Standard input carries the master password when it is not a terminal.
  if (action == Action::Import && value == "-")
    return usage("--import reads a file, not standard input");
  if (action == Action::CheckPwned && value == "-")
    return usage("--check-pwned reads a file, not standard input");

  if (parser.isSet(QStringLiteral("help"))) return asking(Action::Help);
  if (parser.isSet(QStringLiteral("version"))) return asking(Action::Version);
  CommandLine commandLine = asking(action, value, format);
  commandLine.field = field;
  return commandLine;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments) {
  QCommandLineParser parser;
  // "-platform" is one unknown option, not the letters p, l, a, ...
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  // Our own help text, not addHelpOption(), which would add Qt's --help-all.
  parser.addOptions({
      {{QStringLiteral("h"), QStringLiteral("help")}, QString()},
      {QStringLiteral("version"), QString()},
      {QStringLiteral("import"), QString(), QStringLiteral("FILE")},
      {QStringLiteral("export"), QString(), QStringLiteral("FILE")},
      {QStringLiteral("format"), QString(), QStringLiteral("NAME")},
      {QStringLiteral("list"), QString()},
      {QStringLiteral("show"), QString(), QStringLiteral("NAME")},
      {QStringLiteral("field"), QString(), QStringLiteral("FIELD")},
      {QStringLiteral("report"), QString()},
      {QStringLiteral("check-pwned"), QString(), QStringLiteral("FILE")},
  });
  QStringList list{QStringLiteral("ombrel")};
  for (std::string_view argument : arguments) list.append(fromBytes(argument));
  const bool parsed = parser.parse(list);
  list.removeFirst();
  // Every mistake is reported, even beside --help, so that a mistyped command
  // never starts the window; the parser's own texts are not ours.
  if (auto mistake = mistakeIn(list, parser)) return usage(std::move(*mistake));
  if (!parsed) return usage("the arguments could not be read");
  return meaningOf(parser);
}

namespace {

// Words of `text` in lines of at most 79 characters, each after `indent`
// blanks; the first line's indent is the caller's.
std::string wrapped(const QString& text, int indent) {
  constexpr int kWidth = 79;
  std::string out;
  int column = indent;
  for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
    const std::string bytes = word.toStdString();
    const bool first = column == indent;
    if (!first && column + 1 + word.size() > kWidth) {
      out += '\n' + std::string(static_cast<std::size_t>(indent), ' ');
      column = indent;
    } else if (!first) {
      out += ' ';
      ++column;
    }
    out += bytes;
    column += static_cast<int>(word.size());
  }
  return out + '\n';
}

// An option and what it does, the text in a column of its own.
std::string option(const char* names, const QString& text) {
  constexpr int kTextColumn = 21;
  std::string line = std::string("  ") + names;
  // A name too long for its column has the text on the next line.
  if (line.size() + 1 >= kTextColumn) line += '\n';
  line.resize(line.back() == '\n' ? line.size() + kTextColumn : kTextColumn, ' ');
  return line + wrapped(text, kTextColumn);
}

// The formats --import recognises, and where each program writes its file.
std::string formatGuide() {
  std::string guide = "The import recognises the CSV files of these programs (exported from):\n";
  for (const CsvFormat& format : csvFormats())
    guide += option(format.name, QString::fromUtf8(format.whereExported));
  return guide;
}

}  // namespace

std::string usageText() {
  QString formats = exportFormatNames();
  formats.replace(QStringLiteral(", "), QStringLiteral("|"))
      .replace(QStringLiteral(" or "), QStringLiteral("|"));
  return "Usage: ombrel [--help | --version]\n"
         "       ombrel --import FILE\n"
         "       ombrel --export FILE [--format " +
         formats.toStdString() +
         "]\n"
         "       ombrel --list | --report | --check-pwned FILE\n"
         "       ombrel --show NAME [--field name|url|user|password|notes]\n";
}

std::string helpText() {
  const QString defaultName = QString::fromUtf8(defaultExportFormat().exportName);
  return usageText() + "\n" +
         wrapped(QStringLiteral(
                     "Keeps web-site logins behind a master password. The program works on the "
                     "data files in its working directory (passwords.dat, pw.dat, pwclr.dat, "
                     "help.htm); the ombrel command on the PATH prepares the data directory and "
                     "starts it there. Without options it opens the window."),
                 0) +
         "\n" + option("-h, --help", QStringLiteral("print this help and exit")) +
         option("    --version", QStringLiteral("print the version and exit")) +
         option("    --import FILE",
                QStringLiteral("add the logins of a CSV file that another password manager "
                               "or a browser exported (see below), or of any CSV file with "
                               "url, username and password columns; the header tells which")) +
         option("    --export FILE",
                QStringLiteral("write every entry to a new CSV file, or to standard output when "
                               "FILE is -")) +
         option("    --format NAME", QStringLiteral("the export's format: %1; %2 when not given")
                                         .arg(exportFormatNames(), defaultName)) +
         option("    --list", QStringLiteral("print every entry's name, one a line")) +
         option("    --show NAME",
                QStringLiteral("print the entry of that name: its web site, user name, "
                               "password and notes, or with --field only the one field (url: "
                               "the address Open Site opens)")) +
         option("    --report",
                QStringLiteral("list the entries whose passwords to change: reused, weak "
                               "(under 65 bits by zxcvbn's estimate) or empty, and sites "
                               "reached without encryption; never prints a password")) +
         option("    --check-pwned FILE",
                QStringLiteral("look up every password in a downloaded list of leaked "
                               "passwords (SHA1HEX:COUNT lines); a list sorted by hash is "
                               "searched without reading it whole")) +
         "\n" + formatGuide() + "\n" +
         wrapped(QStringLiteral("A value that starts with '-' (other than - alone) is given as "
                                "--option=VALUE, or a file as ./-name."),
                 0) +
         "\n" +
         wrapped(QStringLiteral(
                     "Every command asks for the master password, if one is set: on the "
                     "terminal, or as one line on standard input when that is not a terminal. "
                     "A relative FILE is taken from $OMBREL_START_DIR when set, else from the "
                     "working directory. Reports and data go to standard output, messages to "
                     "standard error. The export writes the file readable by its owner only, "
                     "never over an existing one, and the file holds every password in plain "
                     "text."),
                 0) +
         "\n" +
         wrapped(
             QStringLiteral("Exit status: 0 when all went well, 1 on an error or when a login "
                            "was skipped, 2 for a usage error, 3 when --report or --check-pwned "
                            "found something to change."),
             0) +
         "\n" +
         wrapped(QStringLiteral("The files are shift-encoded, not encrypted: keep them private."),
                 0);
}

std::string versionText() { return "ombrel " OMBREL_VERSION "\n"; }

}  // namespace ombrel

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
const QStringList kValueOptions = {QStringLiteral("import"), QStringLiteral("export"),
                                   QStringLiteral("format")};

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

// The options after they have been read: what they ask for together.
CommandLine meaningOf(const QCommandLineParser& parser) {
  if (!parser.positionalArguments().isEmpty())
    return usage("unexpected argument '" + toBytes(parser.positionalArguments().first()) + "'");
  const bool import = parser.isSet(QStringLiteral("import"));
  const bool exportSet = parser.isSet(QStringLiteral("export"));
  if ((import && exportSet) || parser.values(QStringLiteral("import")).size() > 1 ||
      parser.values(QStringLiteral("export")).size() > 1)
    return usage("give one --import or one --export");
  if (auto twice = oneValue(parser, QStringLiteral("format"))) return usage(*twice);

  const CsvFormat* format = &defaultExportFormat();
  if (parser.isSet(QStringLiteral("format"))) {
    const std::string name = toBytes(parser.value(QStringLiteral("format")));
    format = exportFormatNamed(name);
    if (!format)
      return usage("unknown format '" + name + "' (" + exportFormatNames().toStdString() + ")");
    if (!exportSet) return usage("option '--format' applies to --export only");
  }
  if (import && parser.value(QStringLiteral("import")) == QStringLiteral("-"))
    return usage("--import reads a file, not standard input");

  if (parser.isSet(QStringLiteral("help"))) return asking(Action::Help);
  if (parser.isSet(QStringLiteral("version"))) return asking(Action::Version);
  if (import) return asking(Action::Import, toBytes(parser.value(QStringLiteral("import"))));
  if (exportSet)
    return asking(Action::Export, toBytes(parser.value(QStringLiteral("export"))), format);
  return {};
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
  line.resize(kTextColumn, ' ');
  return line + wrapped(text, kTextColumn);
}

}  // namespace

std::string usageText() {
  QString formats = exportFormatNames();
  formats.replace(QStringLiteral(", "), QStringLiteral("|"))
      .replace(QStringLiteral(" or "), QStringLiteral("|"));
  return "Usage: ombrel [--help | --version]\n"
         "       ombrel --import FILE\n"
         "       ombrel --export FILE [--format " +
         formats.toStdString() + "]\n";
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
                QStringLiteral("add the logins of a CSV file exported by %1 (or any CSV file "
                               "with url, username and password columns); the header tells "
                               "which")
                    .arg(knownProgramNames())) +
         option("    --export FILE",
                QStringLiteral("write every entry to a new CSV file, or to standard output when "
                               "FILE is -")) +
         option("    --format NAME", QStringLiteral("the export's format: %1; %2 when not given")
                                         .arg(exportFormatNames(), defaultName)) +
         "\n" +
         wrapped(QStringLiteral("A value that starts with '-' (other than - alone) is given as "
                                "--option=VALUE, or a file as ./-name."),
                 0) +
         "\n" +
         wrapped(QStringLiteral(
                     "Both commands ask for the master password, if one is set: on the "
                     "terminal, or as one line on standard input when that is not a terminal. "
                     "A relative FILE is taken from $OMBREL_START_DIR when set, else from the "
                     "working directory. The import's report goes to standard output; the "
                     "export writes the file readable by its owner only, never over an existing "
                     "one, and the file holds every password in plain text."),
                 0) +
         "\n" +
         wrapped(QStringLiteral("Exit status: 0 when all went well, 1 on an error or when a login "
                                "was skipped, 2 for a usage error."),
                 0) +
         "\n" +
         wrapped(QStringLiteral("The files are shift-encoded, not encrypted: keep them private."),
                 0);
}

std::string versionText() { return "ombrel " OMBREL_VERSION "\n"; }

}  // namespace ombrel

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/CommandOutput.h"
#include "interfaces/Dialogs.h"
#include "text/NameBlock.h"

namespace ombrel::bench {

// What every benchmark needs to know of the run: where the generated data
// directories are (ROOT/<entries>, made by make_bench_data) and which entry
// counts this run measures.
struct BenchOptions {
  std::filesystem::path dataRoot;
  std::vector<std::size_t> sizes;
};

// Takes --data=ROOT and --sizes=N,N,... out of argv, leaving the rest for
// Google Benchmark. Exits with a message when they are missing or malformed.
BenchOptions takeBenchOptions(int& argc, char** argv);

// One generated entry file and what the benchmarks derive from it once.
struct DataSet {
  std::size_t entries = 0;
  std::filesystem::path pristine;  // the generated data directory, never written
  std::filesystem::path work;      // a copy the writing benchmarks change and restore
  std::uintmax_t fileSize = 0;
  QStringList fileOrderNames;  // the plain names in file order, as start-up lists them
  NameBlock fileOrderBlock;    // the same in one block, as start-up hands them to the list
  QStringList listedNames;     // the same as the list holds them, sorted
  QString firstName;           // the plain name of the file's first record
  int firstNameIndex = -1;     // its position in listedNames
  QString lastName;            // the plain name of the file's last record
  int lastNameIndex = -1;      // its position in listedNames
  std::string lastRecordLine;  // the stored last line, CR LF included
};

// The data set for `entries`, loaded on first use and kept for the whole run
// (the names of a million entries take a while to decode and sort).
const DataSet& dataSet(const BenchOptions& options, std::size_t entries);

// Puts a fresh copy of the pristine data directory into the work directory.
void resetWorkCopy(const DataSet& data);

// The list's order: case-blind, names equal but for case in the order given.
bool listsBefore(const QString& a, const QString& b);
void sortAsListed(QStringList& names);
// Where the list puts a new name: after every name that sorts before or equal to it.
int listPositionOf(const QStringList& listed, const QString& name);

// Answers every question with Yes and every prompt by its title, so a command
// can be run any number of times without a script.
class AnsweringDialogs : public Dialogs {
 public:
  QString name = QStringLiteral("www.ombrel-bench.example");
  QString userName = QStringLiteral("bench.user@example.com");
  QString password = QStringLiteral("s3cret,\"quoted\"!");

  int messageBox(const QString&, int style, const QString& = QString()) override {
    return style == kConfirm ? kYes : kOk;
  }
  QString inputBox(const QString&, const QString& title) override {
    if (title == QLatin1String("Web Site")) return name;
    if (title == QLatin1String("User Name")) return userName;
    return QString();
  }
  QString passwordBox(const QString&, const QString&) override { return password; }
};

// Takes what the import and export say and keeps only the last report line
// (the import's summary), so that a benchmark can check what was done.
class QuietOutput : public CommandOutput {
 public:
  void report(const QString& line) override { lastReport = line; }
  void notice(const QString& text) override { lastNotice = text; }
  storage::Status writeData(std::string_view) override { return storage::Status::success(); }
  storage::Status flushData() override { return storage::Status::success(); }

  QString lastReport;
  QString lastNotice;
};

// Reads the entry file of `directory`, writes a copy beside it, flushes the
// copy, renames it over the file and flushes the folder: what a rewrite that
// survives a crash costs at the very least.
void copyFlushRename(const std::filesystem::path& directory);

// open, fstat and read into a fresh buffer: what any reader pays before it
// looks at a byte. Returns the size.
std::size_t readPlain(const char* path, std::unique_ptr<char[]>& buffer);

// Small file operations used to put files back outside the timed region.
void truncateFile(const std::filesystem::path& path, std::uintmax_t size);
void appendBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace ombrel::bench

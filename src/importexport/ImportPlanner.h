// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <string_view>
#include <vector>

#include "importexport/CsvFormat.h"
#include "importexport/KnownRecords.h"
#include "importexport/TextEncoding.h"
#include "storage/Record.h"
#include "storage/Status.h"

namespace ombrel {

struct CsvRow;
struct Login;
namespace storage {
class RecordReader;
}

// Everything an import decides before it writes anything.
struct ImportPlan {
  // Why the CSV file cannot be imported (its header is unknown, a quote is
  // never closed, ...), as the user is told; empty when it can.
  QString problem;
  // How the entry file was read: a failure (damage, a read error) stops the
  // import, and the command tells the user about the file.
  storage::Status entryFile = storage::Status::success();

  CsvSource source = CsvSource::Other;
  QStringList dropped;                   // the CSV file's columns left out
  QStringList lines;                     // a report line for each login renamed or skipped
  std::vector<storage::Record> records;  // to add, in file order, renamed ones included
  std::size_t renamed = 0;
  std::size_t alreadyThere = 0;
  std::size_t skipped = 0;

  bool ok() const { return problem.isEmpty() && entryFile.ok(); }
};

// Reads the logins of a CSV file and compares them with the records of the
// entry file: which are added (as New writes a record), which renamed, which
// already there and which skipped. `csv` is the whole file as read; `shownPath`
// is how messages name it. `entryFile` reads the entry file (nullptr when
// there is none), of `entryFileBytes` bytes. Nothing here touches a disk.
class ImportPlanner {
 public:
  ImportPlanner(std::string_view csv, QString shownPath);

  ImportPlan plan(storage::RecordReader* entryFile, std::size_t entryFileBytes);

 private:
  // The header: the first row. False, with the problem set, when no format
  // fits it.
  bool readHeader(std::string_view rows);
  bool learnStoredRecords(storage::RecordReader& entryFile);
  void readLogins(std::string_view rows);
  // Decides on the login of one row.
  void take(std::size_t line, const CsvRow& row);
  void takeLogin(std::size_t line, const Login& login);
  void add(storage::Record record);
  void skip(QString line);

  std::string_view csv_;
  QString shownPath_;
  TextEncoding encoding_ = TextEncoding::Utf8;
  CsvFormat format_;
  ImportPlan plan_;
  KnownRecords known_{plan_.records};
};

}  // namespace ombrel

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

#include "interfaces/CommandOutput.h"
#include "storage/Record.h"

namespace ombrel {

struct CsvFormat;
namespace storage {
class RecordReader;
}

// Everything an import decides before it writes anything.
struct ImportPlan {
  // Failed, with the message, when the CSV file or the entry file cannot be
  // read to the end; nothing is then imported.
  CommandResult result = CommandResult::done();

  const CsvFormat* format = nullptr;     // whose file it is
  QStringList dropped;                   // the CSV file's columns left out
  QStringList lines;                     // a report line for each login renamed or skipped
  std::vector<storage::Record> records;  // to add, in file order, renamed ones included
  std::size_t renamed = 0;
  std::size_t alreadyThere = 0;
  std::size_t skipped = 0;
  std::size_t folderRows = 0;  // rows that stand for a folder, not a login
};

// Reads the logins of a CSV file and compares them with the records of the
// entry file: which are added (as New writes a record), which renamed, which
// already there and which skipped. `csv` is the whole file as read, which
// messages name `shownPath`; `entryFile` reads the entry file at
// `entryFilePath` (a missing one reads as empty). Nothing here touches a
// disk.
ImportPlan planImport(std::string_view csv, const QString& shownPath,
                      storage::RecordReader& entryFile,
                      const std::filesystem::path& entryFilePath = "passwords.dat");

}  // namespace ombrel

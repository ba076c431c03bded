// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

#include "EntryBytes.h"
#include "importexport/ImportPlanner.h"
#include "interfaces/CommandOutput.h"
#include "storage/ByteStreams.h"
#include "storage/RecordReader.h"

namespace ombrel::testing {

// Keeps what the import and export say, by stream.
class RecordingOutput : public CommandOutput {
 public:
  void report(const QString& line) override { reported.append(line); }
  void notice(const QString& text) override { notices.append(text); }
  storage::Status writeData(std::string_view record) override {
    data += record;
    return storage::Status::success();
  }
  storage::Status flushData() override { return storage::Status::success(); }

  QStringList reported;
  QStringList notices;
  std::string data;
};

// What an import of `csv` decides against an entry file holding `entryFile`.
inline ImportPlan planOf(std::string_view csv, std::string_view entryFile = {}) {
  storage::MemorySource source(entryFile);
  storage::RecordReader reader(source);
  return planImport(csv, "in.csv", reader);
}

// The records a plan adds, as the record writer writes them.
inline std::string added(const ImportPlan& plan) {
  std::string out;
  for (const storage::Record& record : plan.records) out += formatRecord(record);
  return out;
}

}  // namespace ombrel::testing

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>

#include "importexport/CsvReader.h"

namespace ombrel {

// The texts of the import: the report on standard output, a line for each
// login renamed or skipped and the summary, and the reasons an import stops.
namespace importText {

// A stored field, as the report names it.
enum class Field { Name, User, Password, Notes };

QString droppedColumns(const QStringList& columns);
QString renamed(const QString& name, std::size_t line, const QString& newName);
QString skippedUnnamed(std::size_t line);
QString skippedUnstorable(const QString& name, std::size_t line, Field field,
                          const QString& character);
QString skippedTooLarge(const QString& name, std::size_t line);
QString skippedClash(const QString& name, std::size_t line);
QString skippedClashRenamed(const QString& name, std::size_t line, const QString& newName);
QString passedOverFolders(std::size_t rows);
// "Imported N logins from FILE (FORMAT): R renamed, A already there, S skipped."
QString summary(std::size_t imported, const QString& file, const QString& format,
                std::size_t renamed, std::size_t alreadyThere, std::size_t skipped);

QString unknownHeader(const QString& file, const QStringList& header);
QString unreadableCsv(const QString& file, const CsvProblem& problem);

// "a", "a, b and c" with " and " as `lastSeparator`.
QString listed(QStringList words, const QString& lastSeparator);

// What follows every message of an import that stopped.
QString nothingImported();

}  // namespace importText
}  // namespace ombrel

// SPDX-License-Identifier: MIT
#include "audit/LeakCheck.h"

#include <QCryptographicHash>
#include <algorithm>

#include "text/UserMessages.h"

namespace ombrel {
namespace {

QString wayRead(LeakSearch::Way way, const QString& shownList) {
  switch (way) {
    case LeakSearch::Way::Bisection:
      return QStringLiteral("%1 is sorted by hash: each password was looked up by bisection.")
          .arg(shownList);
    case LeakSearch::Way::WholeFile:
      return QStringLiteral("%1 is not sorted by hash: it was read from start to end.")
          .arg(shownList);
    case LeakSearch::Way::WholeFileAfterDisorder:
      return QStringLiteral(
                 "%1 looked sorted by hash, but a lookup met lines out of order: it was read "
                 "from start to end instead.")
          .arg(shownList);
  }
  return QString();
}

}  // namespace

Sha1 passwordHash(const QString& password) {
  const QByteArray digest = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha1);
  Sha1 hash;
  std::copy_n(digest.constData(), hash.size(), reinterpret_cast<char*>(hash.data()));
  return hash;
}

CommandText leakCheck(const std::vector<Entry>& entries, const std::filesystem::path& list,
                      const QString& shownList, const LeakSearchOptions& options) {
  // The hash of each entry's password, in the order of the entries that have one.
  std::vector<const Entry*> checked;
  std::vector<Sha1> hashes;
  for (const Entry& entry : entries) {
    if (textOf(entry.password).isEmpty()) continue;
    checked.push_back(&entry);
    hashes.push_back(passwordHash(*entry.password));
  }

  const LeakSearch search = searchLeakList(list, hashes, options);
  CommandText text;
  if (!search.status.ok()) {
    text.result = CommandResult::failed(fileProblem(
        QStringLiteral("The list of leaked passwords could not be read"), list, search.status));
    return text;
  }
  text.notes.append(wayRead(search.way, shownList));
  qsizetype found = 0;
  for (std::size_t i = 0; i < checked.size(); ++i) {
    const auto& count = search.counts[i];
    if (!count) continue;
    ++found;
    text.out.append(QStringLiteral("%1: seen %2 %3")
                        .arg(textOf(checked[i]->name))
                        .arg(static_cast<qulonglong>(*count))
                        .arg(*count == 1 ? QLatin1String("time") : QLatin1String("times")));
  }
  text.out.append(
      QStringLiteral("%1 of %2 %3 found in %4.")
          .arg(found)
          .arg(checked.size())
          .arg(checked.size() == 1 ? QLatin1String("password") : QLatin1String("passwords"),
               shownList));
  if (found > 0) text.result = CommandResult::found();
  return text;
}

CommandText leakCheck(const storage::DataDirectory& data, const std::filesystem::path& list,
                      const QString& shownList) {
  const StoredEntries stored = readEntries(data);
  if (!stored.status.ok()) return entryFileFailure(data, stored.status);
  return leakCheck(stored.entries, list, shownList);
}

}  // namespace ombrel

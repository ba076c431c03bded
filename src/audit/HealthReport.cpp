// SPDX-License-Identifier: MIT
#include "audit/HealthReport.h"

#include <zxcvbn.h>

#include <QHash>
#include <cmath>

namespace ombrel {
namespace {

QString counted(qsizetype count, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

struct Section {
  QString heading;
  QStringList lines;
};

}  // namespace

double passwordBits(const QString& password) {
  const QByteArray bytes = password.toUtf8();
  return ZxcvbnMatch(bytes.constData(), nullptr, nullptr);
}

CommandText healthReport(const std::vector<Entry>& entries) {
  // One estimate per distinct password: zxcvbn costs tens of microseconds a
  // call, far more than the rest of the report, and shared passwords are
  // what this report looks for.
  QHash<QString, double> bits;
  // The entries of each non-empty password, groups in the order of their
  // first entry.
  QHash<QString, qsizetype> groupOf;
  std::vector<std::vector<const Entry*>> groups;

  Section weak{QStringLiteral("Weak passwords"), {}};
  Section empty{QStringLiteral("Empty passwords"), {}};
  Section plainHttp{QStringLiteral("Sent without encryption"), {}};
  for (const Entry& entry : entries) {
    const QString name = textOf(entry.name);
    const QString password = textOf(entry.password);
    if (name.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
      plainHttp.lines.append(name);
    if (password.isEmpty()) {
      empty.lines.append(name);
      continue;
    }
    auto group = groupOf.find(password);
    if (group == groupOf.end()) {
      group = groupOf.insert(password, qsizetype(groups.size()));
      groups.emplace_back();
    }
    groups[std::size_t(*group)].push_back(&entry);

    auto estimate = bits.find(password);
    if (estimate == bits.end()) estimate = bits.insert(password, passwordBits(password));
    if (*estimate < kWeakBelowBits)
      weak.lines.append(QStringLiteral("%1 (%2)").arg(
          name, counted(qsizetype(std::floor(*estimate)), "bit", "bits")));
  }

  QStringList reusedLines;
  for (const auto& group : groups) {
    if (group.size() < 2) continue;
    QStringList names;
    for (const Entry* entry : group) names.append(textOf(entry->name));
    reusedLines.append(names.join(QLatin1String(", ")));
  }

  CommandText text;
  qsizetype problems = 0;
  auto add = [&](const QString& heading, const QStringList& lines) {
    if (lines.isEmpty()) return;
    text.out.append(heading + QStringLiteral(":"));
    for (const QString& line : lines) text.out.append(QStringLiteral("  ") + line);
    problems += lines.size();
  };
  add(QStringLiteral("Reused passwords (%1)").arg(counted(reusedLines.size(), "group", "groups")),
      reusedLines);
  for (const Section* section : {&weak, &empty, &plainHttp})
    add(QStringLiteral("%1 (%2)").arg(section->heading).arg(section->lines.size()), section->lines);

  const QString inEntries = counted(qsizetype(entries.size()), "entry", "entries");
  if (problems == 0) {
    text.out.append(QStringLiteral("No problems found in %1.").arg(inEntries));
  } else {
    text.out.append(
        QStringLiteral("%1 in %2.").arg(counted(problems, "problem", "problems"), inEntries));
    text.result = CommandResult::found();
  }
  return text;
}

CommandText healthReport(const storage::DataDirectory& data) {
  const StoredEntries stored = readEntries(data);
  if (!stored.status.ok()) return entryFileFailure(data, stored.status);
  return healthReport(stored.entries);
}

}  // namespace ombrel

// SPDX-License-Identifier: MIT
// The entry commands on a file of N entries, through the real window with N
// names listed. Each writing command is undone outside the timed region, so
// every iteration starts from the same file and the same list.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "entries/EntryCommands.h"

namespace ombrel::bench {
namespace {

void expect(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

// The user picks the last name of the file in the list: the selection change
// runs List1_Click, which reads the file up to that name's record. Between
// picks the first name of the file is picked, which reads one block.
void BM_PickLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  StartedWindow& window = listedWindow(data);
  SortedListBox& list = window.list();
  for (auto _ : state) {
    state.PauseTiming();
    list.setCurrentRow(data.firstNameIndex);
    state.ResumeTiming();
    list.setCurrentRow(data.lastNameIndex);
  }
  expect(window.form->boxText(Box::Web) == data.lastName, "picked the wrong name");
  list.clearSelection();
}

void BM_New(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  StartedWindow& window = listedWindow(data);
  const auto file = data.work / "passwords.dat";
  const int position = listPositionOf(data.listedNames, window.dialogs.name);
  for (auto _ : state) {
    window.form->f1_Click();
    state.PauseTiming();
    expect(window.form->nameAt(position) == window.dialogs.name, "the new name is not listed");
    window.form->removeName(window.dialogs.name);
    truncateFile(file, data.fileSize);
    state.ResumeTiming();
  }
}

void BM_SaveLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  StartedWindow& window = listedWindow(data);
  window.list().setCurrentRow(data.lastNameIndex);
  window.form->setBoxText(Box::Notes, QStringLiteral("changed notes\r\non two lines"));
  // Saving the same boxes again leaves the file as the first save made it, so
  // the file needs no restoring between iterations.
  for (auto _ : state) window.form->f2_Click();
  window.list().clearSelection();
  resetWorkCopy(data);
}

void BM_DeleteLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  StartedWindow& window = listedWindow(data);
  const auto file = data.work / "passwords.dat";
  window.form->setBoxText(Box::Web, data.lastName);
  for (auto _ : state) {
    window.form->f3_Click();
    state.PauseTiming();
    expect(window.form->nameCount() == static_cast<int>(entries) - 1, "no name removed");
    // The last record was the only one of its name, so putting its line back
    // gives the generated file again.
    appendBytes(file, data.lastRecordLine);
    window.form->addName(data.lastName);
    window.form->setBoxText(Box::Web, data.lastName);
    state.ResumeTiming();
  }
}

}  // namespace

void registerCommandBenchmarks(const BenchOptions& options) {
  for (std::size_t entries : options.sizes) {
    const std::string size = std::to_string(entries);
    // New also runs on a file of a hundred entries, to show what it costs where
    // the file is small enough not to matter.
    if (entries >= 100)
      configure(benchmark::RegisterBenchmark(("new/" + size).c_str(), BM_New, &options, entries));
    if (entries < kMinFileEntries) continue;
    configure(benchmark::RegisterBenchmark(("pick_last/" + size).c_str(), BM_PickLast, &options,
                                           entries));
    configure(benchmark::RegisterBenchmark(("save_last/" + size).c_str(), BM_SaveLast, &options,
                                           entries));
    configure(benchmark::RegisterBenchmark(("delete_last/" + size).c_str(), BM_DeleteLast, &options,
                                           entries));
  }
}

}  // namespace ombrel::bench

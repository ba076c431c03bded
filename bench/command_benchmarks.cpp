// The entry commands on a file of N entries, over the in-memory window, so
// that these figures hold the file work alone. Each writing command is undone
// outside the timed region, so every iteration starts from the same file.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "FakeWindow.h"
#include "entries/EntryCommands.h"

namespace ombrel::bench {
namespace {

using testing::FakeWindow;

// The window as start-up leaves it: every name listed, nothing picked.
std::unique_ptr<FakeWindow> listedWindow(const DataSet& data, const std::filesystem::path& dir) {
  auto window = std::make_unique<FakeWindow>(dir.string());
  window->names = data.listedNames;
  window->names.detach();  // so that the first change does not copy the list inside the timing
  return window;
}

void expect(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

void BM_PickLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  auto window = listedWindow(data, data.pristine);
  window->selected = data.lastNameIndex;
  for (auto _ : state) showSelectedEntry(*window);
  expect(window->boxText(Box::Web) == data.lastName, "picked the wrong name");
}

void BM_New(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  resetWorkCopy(data);
  auto window = listedWindow(data, data.work);
  AnsweringDialogs dialogs;
  const auto file = data.work / "passwords.dat";
  for (auto _ : state) {
    newEntry(*window, dialogs, kNewEntryPrompt);
    state.PauseTiming();
    expect(window->names.size() == data.listedNames.size() + 1, "no name added");
    window->names.removeAt(window->names.indexOf(dialogs.name));
    truncateFile(file, data.fileSize);
    state.ResumeTiming();
  }
}

void BM_SaveLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  resetWorkCopy(data);
  auto window = listedWindow(data, data.work);
  window->selected = data.lastNameIndex;
  showSelectedEntry(*window);
  window->selected = -1;
  window->setBoxText(Box::Notes, QStringLiteral("changed notes\r\non two lines"));
  AnsweringDialogs dialogs;
  // Saving the same boxes again leaves the file as the first save made it, so
  // the file needs no restoring between iterations.
  for (auto _ : state) saveEntry(*window, dialogs);
}

void BM_DeleteLast(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  resetWorkCopy(data);
  auto window = listedWindow(data, data.work);
  window->selected = data.lastNameIndex;
  showSelectedEntry(*window);
  window->selected = -1;
  AnsweringDialogs dialogs;
  const auto file = data.work / "passwords.dat";
  for (auto _ : state) {
    deleteEntry(*window, dialogs);
    state.PauseTiming();
    expect(window->names.size() == data.listedNames.size() - 1, "no name removed");
    // The last record was the only one of its name, so putting its line back
    // gives the generated file again.
    appendBytes(file, data.lastRecordLine);
    window->names.insert(data.lastNameIndex, data.lastName);
    window->setBoxText(Box::Web, data.lastName);
    state.ResumeTiming();
  }
}

}  // namespace

void registerCommandBenchmarks(const BenchOptions& options) {
  for (std::size_t entries : options.sizes) {
    const std::string size = std::to_string(entries);
    // New is held to its own cost at a hundred entries.
    if (entries >= 100)
      configure(benchmark::RegisterBenchmark(("new/" + size).c_str(), BM_New, &options, entries));
    if (entries < kMinFileEntries) continue;
    configure(benchmark::RegisterBenchmark(("pick_last/" + size).c_str(), BM_PickLast, &options,
                                           entries));
    configure(benchmark::RegisterBenchmark(("save_last/" + size).c_str(), BM_SaveLast, &options,
                                           entries));
    configure(benchmark::RegisterBenchmark(("delete_last/" + size).c_str(), BM_DeleteLast,
                                           &options, entries));
  }
}

}  // namespace ombrel::bench

// SPDX-License-Identifier: MIT
#include "BenchWindow.h"

#include <stdexcept>

namespace ombrel::bench {

StartedWindow::StartedWindow(const std::filesystem::path& dataDirectory) {
  form = std::make_unique<Form1>(dialogs, shell, storage::DataDirectory(dataDirectory.string()));
  form->setEndProgram([] {});
  if (!form->formLoad()) throw std::runtime_error("start-up refused " + dataDirectory.string());
}

StartedWindow::~StartedWindow() = default;

SortedListBox& StartedWindow::list() const {
  auto* list = form->findChild<SortedListBox*>(QStringLiteral("List1"));
  if (!list) throw std::runtime_error("the window has no List1");
  return *list;
}

namespace {
std::unique_ptr<StartedWindow> kept;
std::size_t keptEntries = 0;
}  // namespace

StartedWindow& listedWindow(const DataSet& data) {
  if (!kept || keptEntries != data.entries) {
    kept.reset();
    resetWorkCopy(data);
    kept = std::make_unique<StartedWindow>(data.work);
    keptEntries = data.entries;
    if (kept->form->nameCount() != static_cast<int>(data.entries))
      throw std::runtime_error("start-up listed the wrong number of names");
  }
  return *kept;
}

void releaseListedWindow() { kept.reset(); }

}  // namespace ombrel::bench

// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>

#include "BenchSupport.h"
#include "RecordingShell.h"
#include "ui/Form1.h"
#include "ui/SortedListBox.h"

namespace ombrel::bench {

// The program's window on the offscreen platform, made and started (Form_Load)
// on a data directory as main() does, with dialogs that answer by themselves.
struct StartedWindow {
  explicit StartedWindow(const std::filesystem::path& dataDirectory);
  ~StartedWindow();

  SortedListBox& list() const;

  AnsweringDialogs dialogs;
  testing::RecordingShell shell;
  std::unique_ptr<Form1> form;
};

// The window started on the work copy of `data`, with every name listed. It
// is kept while the benchmarks of that entry count run, since starting it on a
// million entries takes seconds; each benchmark leaves it as it found it.
StartedWindow& listedWindow(const DataSet& data);

// Drops the kept window.
void releaseListedWindow();

}  // namespace ombrel::bench

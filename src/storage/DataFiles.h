// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "storage/ByteStreams.h"
#include "storage/FileDescriptor.h"
#include "storage/Status.h"

namespace ombrel::storage {

inline constexpr std::string_view kEntryFile = "passwords.dat";
inline constexpr std::string_view kTempEntryFile = "passwords2.dat";
inline constexpr std::string_view kPasswordFile = "pw.dat";
inline constexpr std::string_view kColourFile = "pwclr.dat";
inline constexpr std::string_view kHelpFile = "help.htm";
// The files that take the place of pw.dat and pwclr.dat when they are
// replaced; they only exist for the moment of a replacement.
inline constexpr std::string_view kPasswordFileNew = "pw.dat.new";
inline constexpr std::string_view kColourFileNew = "pwclr.dat.new";

// A file open for reading from its first byte, read piece by piece, so that
// a large entry file need not be held whole.
class InputFile : public ByteSource {
 public:
  // Fails when the file is missing (Missing), is not an ordinary file, or
  // cannot be opened.
  Status open(const std::filesystem::path& path);

  Status read(char* into, std::size_t size, std::size_t& got) override;

  // The size the file had when it was opened.
  std::size_t sizeWhenOpened() const { return size_; }

 private:
  FileDescriptor file_;
  std::size_t size_ = 0;
};

// Reads the whole file into `out`. Fails when it is missing, is not an
// ordinary file, or cannot be read.
Status readWholeFile(const std::filesystem::path& path, std::string& out);

// Appends `bytes` to the file, creating it when it is missing, and flushes it
// to disk. The file ends readable and writable by its owner alone, whatever it
// allowed before: what is appended holds passwords. A symbolic link or
// anything but an ordinary file of that name is refused, never written
// through or waited on. When the write or the flush fails, the file is cut
// back to what it held before (or removed again when it was created), so that
// a failure never leaves part of the bytes behind.
Status appendToFile(const std::filesystem::path& path, std::string_view bytes);

// Creates `path`, which must not exist (a symbolic link of that name counts
// as existing), readable and writable by its owner alone whatever the umask,
// holding `bytes`, flushed to disk. The name appears only once the file is
// whole, so that a failure or a kill never leaves part of it there: the file
// is written unnamed and then linked, or, where the file system cannot do
// that (and when `unnamedFirst` is false), written as a hidden
// `.NAME.partial` beside it and renamed, never over a file.
Status createPrivateFile(const std::filesystem::path& path, std::string_view bytes,
                         bool unnamedFirst = true);

// Who may read the file that replaces another.
enum class Permissions {
  KeepTarget,  // those of the file replaced; owner read/write when there is none
  OwnerOnly,   // owner read/write, whatever the file replaced allowed
};

// A new version of `target`, written piece by piece into `temp` and put in
// the place of `target` in one step by commit(). Until then `target` is
// untouched; one that is not committed, or whose write fails, removes `temp`
// again.
class AtomicFile : public ByteSink {
 public:
  AtomicFile(std::filesystem::path target, std::filesystem::path temp,
             Permissions permissions = Permissions::KeepTarget);
  ~AtomicFile() override;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates `temp` afresh (a leftover one is removed first) with the
  // permissions asked for.
  Status open();
  // Appends every byte to `temp`.
  Status write(std::string_view bytes) override;
  // Flushes `temp` to disk and renames it over `target`, then flushes the
  // directory, so that a crash leaves one whole version or the other.
  Status commit();

 private:
  Status abandon(Status status);

  std::filesystem::path target_;
  std::filesystem::path temp_;
  Permissions permissions_;
  FileDescriptor file_;
};

// Replaces `target` with a file holding `bytes`, as an AtomicFile does.
// On failure `target` is as it was and `temp` is removed.
Status replaceFile(const std::filesystem::path& target, const std::filesystem::path& temp,
                   std::string_view bytes, Permissions permissions = Permissions::KeepTarget);

// Presence test: true when `path` names an ordinary file (a folder of that
// name, or a hidden file, counts as absent).
bool isPresentFile(const std::filesystem::path& path);

}  // namespace ombrel::storage

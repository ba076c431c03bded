// SPDX-License-Identifier: MIT
#include "storage/DataFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace ombrel::storage {
namespace {

constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;  // files holding passwords

Status lastWriteError() { return Status::writeError(errno); }

// Writes every byte, going on after partial writes.
Status writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return lastWriteError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return Status::success();
}

// ... then flushes to disk.
Status writeAllAndSync(int fd, std::string_view bytes) {
  if (Status status = writeAll(fd, bytes); !status.ok()) return status;
  return ::fsync(fd) == 0 ? Status::success() : lastWriteError();
}

std::filesystem::path directoryOf(const std::filesystem::path& file) {
  std::filesystem::path parent = file.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

// Makes a new or renamed name in the directory last across a crash. Best
// effort: by the time this runs the change has been made, and a failure here
// cannot undo it.
void syncDirectory(const std::filesystem::path& directory) {
  const FileDescriptor dir = FileDescriptor::open(directory, O_RDONLY | O_DIRECTORY);
  if (dir.valid()) ::fsync(dir.get());
}

}  // namespace

Status InputFile::open(const std::filesystem::path& path) {
  // Non-blocking, so that a pipe of that name cannot hang the open; the flag
  // changes nothing for an ordinary file.
  FileDescriptor file = FileDescriptor::open(path, O_RDONLY | O_NONBLOCK);
  if (!file.valid()) return Status::readError(errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return Status::readError(errno);
  if (S_ISDIR(info.st_mode)) return Status::readError(EISDIR);
  if (!S_ISREG(info.st_mode)) return Status::readError("Not an ordinary file");
  file_ = std::move(file);
  size_ = static_cast<std::size_t>(info.st_size);
  return Status::success();
}

Status InputFile::read(char* into, std::size_t size, std::size_t& got) {
  got = 0;
  for (;;) {
    const ssize_t n = ::read(file_.get(), into, size);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return Status::success();
    }
    if (errno != EINTR) return Status::readError(errno);
  }
}

Status readWholeFile(const std::filesystem::path& path, std::string& out) {
  out.clear();
  InputFile file;
  if (Status status = file.open(path); !status.ok()) return status;

  out.resize(file.sizeWhenOpened());
  std::size_t filled = 0;
  // Once the buffer is full, the end of the file is confirmed by a read into a
  // small block on the side: growing the buffer for it would copy the whole
  // file into one twice its size on every read of a large entry file.
  char beyond[4096];
  for (;;) {
    const bool full = filled == out.size();
    std::size_t got = 0;
    const Status status = full ? file.read(beyond, sizeof beyond, got)
                               : file.read(out.data() + filled, out.size() - filled, got);
    if (!status.ok()) {
      out.clear();
      return status;
    }
    if (got == 0) break;
    if (full) out.append(beyond, got);  // the file grew
    filled += got;
  }
  out.resize(filled);
  return Status::success();
}

Status appendToFile(const std::filesystem::path& path, std::string_view bytes) {
  // Try to create it first, so that we know whether a new name appeared in the
  // directory and must be made durable too. Neither open follows a symbolic
  // link, which could lead the passwords out of the data directory, nor waits
  // for a reader of a pipe of that name.
  FileDescriptor file = FileDescriptor::open(
      path, O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK, kOwnerReadWrite);
  const bool created = file.valid();
  if (!created) {
    if (errno != EEXIST) return lastWriteError();
    FileDescriptor existing =
        FileDescriptor::open(path, O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK);
    if (!existing.valid()) {
      if (errno == ELOOP) return Status::writeError("It is a symbolic link", ELOOP);
      if (errno == ENXIO) return Status::writeError("Not an ordinary file", ENXIO);
      return lastWriteError();
    }
    struct stat info {};
    if (::fstat(existing.get(), &info) != 0) return lastWriteError();
    if (!S_ISREG(info.st_mode)) return Status::writeError("Not an ordinary file");
    // Made private before the new bytes land in it, whatever it allowed.
    if ((info.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) != kOwnerReadWrite &&
        ::fchmod(existing.get(), kOwnerReadWrite) != 0)
      return lastWriteError();
    if (Status status = writeAllAndSync(existing.get(), bytes); !status.ok()) {
      // Half a record would swallow the records appended after it.
      if (::ftruncate(existing.get(), info.st_size) == 0) ::fsync(existing.get());
      return status;
    }
    return existing.close();
  }
  Status status = writeAllAndSync(file.get(), bytes);
  if (status.ok()) status = file.close();
  if (!status.ok()) {
    ::unlink(path.c_str());
    return status;
  }
  syncDirectory(directoryOf(path));
  return Status::success();
}

namespace {

// Writes and flushes a file that was just created, private whatever the umask.
Status fillPrivate(int fd, std::string_view bytes) {
  if (::fchmod(fd, kOwnerReadWrite) != 0) return lastWriteError();
  return writeAllAndSync(fd, bytes);
}

// A file with no name in the directory until it is whole: a kill at any
// moment leaves nothing under the name. linkat() never replaces a file.
Status createUnnamed(const std::filesystem::path& path, std::string_view bytes) {
  FileDescriptor file =
      FileDescriptor::open(directoryOf(path), O_TMPFILE | O_WRONLY, kOwnerReadWrite);
  if (!file.valid()) return lastWriteError();
  if (Status status = fillPrivate(file.get(), bytes); !status.ok()) return status;
  const std::string self = "/proc/self/fd/" + std::to_string(file.get());
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
    return lastWriteError();
  return file.close();
}

// The same where the file system has no unnamed files: a hidden file beside
// the target, renamed to it only when whole and never over a file. Only a
// kill can leave it behind.
Status createThroughPartial(const std::filesystem::path& path, std::string_view bytes) {
  const std::filesystem::path partial =
      directoryOf(path) / ("." + path.filename().string() + ".partial");
  ::unlink(partial.c_str());  // what a killed export left holds nothing to keep
  FileDescriptor file =
      FileDescriptor::open(partial, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, kOwnerReadWrite);
  if (!file.valid()) return lastWriteError();
  Status status = fillPrivate(file.get(), bytes);
  if (status.ok()) status = file.close();
  if (status.ok() &&
      ::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0)
    status = lastWriteError();
  if (!status.ok()) ::unlink(partial.c_str());
  return status;
}

bool unnamedFilesUnsupported(int error) {
  // Older kernels say EISDIR, file systems without support EOPNOTSUPP.
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

}  // namespace

Status createPrivateFile(const std::filesystem::path& path, std::string_view bytes,
                         bool unnamedFirst) {
  // Refused at once, before anything is written: the link at the end would
  // refuse it too, after the whole write.
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) return Status::writeError(EEXIST);
  Status status = unnamedFirst ? createUnnamed(path, bytes) : Status::writeError(EOPNOTSUPP);
  if (!status.ok() && unnamedFilesUnsupported(status.error()))
    status = createThroughPartial(path, bytes);
  if (status.ok()) syncDirectory(directoryOf(path));
  return status;
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temp,
                       Permissions permissions)
    : target_(std::move(target)), temp_(std::move(temp)), permissions_(permissions) {}

AtomicFile::~AtomicFile() {
  if (file_.valid()) abandon(Status::success());
}

Status AtomicFile::abandon(Status status) {
  file_.reset();
  ::unlink(temp_.c_str());
  return status;
}

Status AtomicFile::open() {
  // A temp left by a rewrite that stopped half-way holds nothing we want.
  // When it cannot go (a folder of that name), the reason must name it: the
  // target itself is fine.
  if (::unlink(temp_.c_str()) != 0 && errno != ENOENT) {
    const int error = errno;
    const std::string why = Status::writeError(error).reason();
    return Status::writeError(temp_.string() + " is in the way: " + why, error);
  }

  // A rewrite keeps the permissions the user gave the file.
  mode_t mode = kOwnerReadWrite;
  struct stat info {};
  if (permissions_ == Permissions::KeepTarget && ::stat(target_.c_str(), &info) == 0 &&
      S_ISREG(info.st_mode)) {
    mode = info.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
  }

  file_ = FileDescriptor::open(temp_, O_WRONLY | O_CREAT | O_EXCL | O_TRUNC, kOwnerReadWrite);
  if (!file_.valid()) return lastWriteError();
  // From here on the temp is ours, and it goes again when anything fails.
  // Set after creating, since the creation mode is narrowed by the umask.
  if (::fchmod(file_.get(), mode) != 0) return abandon(lastWriteError());
  return Status::success();
}

Status AtomicFile::write(std::string_view bytes) {
  if (!file_.valid()) return Status::writeError(EBADF);
  if (Status status = writeAll(file_.get(), bytes); !status.ok()) return abandon(status);
  return Status::success();
}

Status AtomicFile::commit() {
  if (!file_.valid()) return Status::writeError(EBADF);
  if (::fsync(file_.get()) != 0) return abandon(lastWriteError());
  if (Status status = file_.close(); !status.ok()) return abandon(status);
  // rename() swaps the name in one step: a crash leaves either the old file
  // or the new one whole, never neither.
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return abandon(lastWriteError());
  syncDirectory(directoryOf(target_));
  return Status::success();
}

Status replaceFile(const std::filesystem::path& target, const std::filesystem::path& temp,
                   std::string_view bytes, Permissions permissions) {
  AtomicFile file(target, temp, permissions);
  Status status = file.open();
  if (status.ok()) status = file.write(bytes);
  if (status.ok()) status = file.commit();
  return status;
}

bool isPresentFile(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (name.empty() || name.front() == '.') return false;  // hidden files are not listed
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace ombrel::storage

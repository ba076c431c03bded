// SPDX-License-Identifier: MIT
#include "BenchSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "storage/DataFiles.h"
#include "storage/RecordReader.h"
#include "text/StoredText.h"

namespace ombrel::bench {
namespace {

[[noreturn]] void usage(const char* problem) {
  std::fprintf(stderr, "%s\nusage: ombrel_bench --data=ROOT --sizes=N[,N...] [benchmark flags]\n",
               problem);
  std::exit(2);
}

std::vector<std::size_t> parseSizes(std::string_view text) {
  std::vector<std::size_t> sizes;
  while (!text.empty()) {
    const std::size_t comma = std::min(text.find(','), text.size());
    std::size_t value = 0;
    const std::string_view item = text.substr(0, comma);
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || error != std::errc() || end != item.data() + item.size())
      usage("--sizes takes entry counts separated by commas");
    sizes.push_back(value);
    text.remove_prefix(std::min(comma + 1, text.size()));
  }
  return sizes;
}

std::string readOrThrow(const std::filesystem::path& path) {
  std::string bytes;
  if (auto status = storage::readWholeFile(path, bytes); !status.ok())
    throw std::runtime_error(path.string() + ": " + status.reason());
  return bytes;
}

// The last line of the file, with its line end.
std::string lastLine(std::string_view bytes) {
  if (bytes.empty()) return {};
  const std::size_t before = bytes.rfind('\n', bytes.size() - 2);
  return std::string(bytes.substr(before == std::string_view::npos ? 0 : before + 1));
}

std::unique_ptr<DataSet> loadDataSet(const BenchOptions& options, std::size_t entries) {
  auto data = std::make_unique<DataSet>();
  data->entries = entries;
  data->pristine = options.dataRoot / std::to_string(entries);
  data->work = options.dataRoot / "work" / std::to_string(entries);
  const std::string bytes = readOrThrow(data->pristine / "passwords.dat");
  data->fileSize = bytes.size();

  std::vector<std::string> stored;
  storage::MemorySource source(bytes);
  storage::RecordReader reader(source);
  reader.forEachRecord([&stored](const storage::RecordView& record) {
    stored.emplace_back(record.name.text);
    return storage::Status::success();
  });
  if (stored.size() != entries)
    throw std::runtime_error(data->pristine.string() + " does not hold " + std::to_string(entries) +
                             " entries; generate it again");
  data->fileOrderNames.reserve(static_cast<qsizetype>(stored.size()));
  for (const std::string& name : stored) data->fileOrderNames.append(fromStored(name));
  if (!stored.empty()) {
    data->firstName = data->fileOrderNames.front();
    data->lastName = data->fileOrderNames.back();
    data->lastRecordLine = lastLine(bytes);
  }
  data->fileOrderBlock = NameBlock(data->fileOrderNames);
  data->listedNames = data->fileOrderNames;
  sortAsListed(data->listedNames);
  data->firstNameIndex = static_cast<int>(data->listedNames.indexOf(data->firstName));
  data->lastNameIndex = static_cast<int>(data->listedNames.indexOf(data->lastName));
  resetWorkCopy(*data);
  return data;
}

}  // namespace

BenchOptions takeBenchOptions(int& argc, char** argv) {
  BenchOptions options;
  bool haveSizes = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--data=")) {
      options.dataRoot = std::string(arg.substr(7));
    } else if (arg.starts_with("--sizes=")) {
      options.sizes = parseSizes(arg.substr(8));
      haveSizes = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  if (options.dataRoot.empty()) usage("--data is missing");
  if (!haveSizes) usage("--sizes is missing");
  return options;
}

const DataSet& dataSet(const BenchOptions& options, std::size_t entries) {
  static std::map<std::size_t, std::unique_ptr<DataSet>> loaded;
  auto& slot = loaded[entries];
  if (!slot) slot = loadDataSet(options, entries);
  return *slot;
}

void resetWorkCopy(const DataSet& data) {
  std::filesystem::create_directories(data.work);
  for (const char* name : {"passwords.dat", "pw.dat"}) {
    std::filesystem::copy_file(data.pristine / name, data.work / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  std::filesystem::remove(data.work / "passwords2.dat");
}

bool listsBefore(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

void sortAsListed(QStringList& names) { std::stable_sort(names.begin(), names.end(), listsBefore); }

int listPositionOf(const QStringList& listed, const QString& name) {
  return static_cast<int>(std::upper_bound(listed.begin(), listed.end(), name, listsBefore) -
                          listed.begin());
}

namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

void writeAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    check(written > 0, "write");
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace

std::size_t readPlain(const char* path, std::unique_ptr<char[]>& buffer) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  check(fd >= 0, "open");
  struct stat info {};
  check(::fstat(fd, &info) == 0, "fstat");
  const auto size = static_cast<std::size_t>(info.st_size);
  buffer.reset(new char[size]);
  std::size_t filled = 0;
  while (filled < size) {
    const ssize_t got = ::read(fd, buffer.get() + filled, size - filled);
    check(got > 0, "read");
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return size;
}

void copyFlushRename(const std::filesystem::path& directory) {
  const std::string path = (directory / "passwords.dat").string();
  const std::string temp = (directory / "passwords2.dat").string();
  std::unique_ptr<char[]> buffer;
  const std::size_t size = readPlain(path.c_str(), buffer);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  check(fd >= 0, "open temp");
  writeAll(fd, buffer.get(), size);
  check(::fsync(fd) == 0, "fsync");
  check(::close(fd) == 0, "close");
  check(::rename(temp.c_str(), path.c_str()) == 0, "rename");
  const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  check(dir >= 0 && ::fsync(dir) == 0, "fsync directory");
  ::close(dir);
}

void truncateFile(const std::filesystem::path& path, std::uintmax_t size) {
  std::filesystem::resize_file(path, size);
}

void appendBytes(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(path.string() + ": " + std::strerror(errno));
  const ssize_t written = ::write(fd, bytes.data(), bytes.size());
  ::close(fd);
  if (written != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error(path.string() + ": short write");
}

}  // namespace ombrel::bench

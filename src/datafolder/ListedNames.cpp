// SPDX-License-Identifier: MIT
#include "datafolder/ListedNames.h"

#include <algorithm>
#include <string>

#include "storage/DataFiles.h"
#include "storage/RecordReader.h"
#include "storage/ShiftCodec.h"
#include "text/StoredText.h"

namespace ombrel {

ListedNames readListedNames(const std::filesystem::path& entryFile) {
  ListedNames listed;
  NameBlock& names = listed.names;
  storage::InputFile file;
  listed.status = file.open(entryFile);
  if (!listed.status.ok()) return listed;
  // The names cannot hold more characters than the file has bytes, so the
  // text never has to move as it fills; the number of names is a guess from
  // the size of a typical entry. A file far larger than any list of names
  // (a damaged one, most likely) gets room as its names come instead.
  constexpr qsizetype kMostRoom = qsizetype{16} << 20;
  const auto size = std::min(static_cast<qsizetype>(file.sizeWhenOpened()), kMostRoom);
  names.reserve(size, size / 64);
  storage::RecordReader reader(file);
  // Each name is decoded into one buffer used again for every name, then
  // straight into the block, with no string of its own.
  std::string plain;
  listed.status = reader.forEachRecord([&](const storage::RecordView& record) {
    const std::string_view name = record.name.text;
    if (plain.size() < name.size()) plain.resize(name.size());
    const std::size_t length = storage::shiftDecodeInto(name, plain.data());
    names.endName(fromCp1252(std::string_view(plain.data(), length),
                             names.beginName(static_cast<qsizetype>(length))));
    return storage::Status::success();
  });
  return listed;
}

}  // namespace ombrel

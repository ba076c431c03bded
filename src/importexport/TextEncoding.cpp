// SPDX-License-Identifier: MIT
#include "importexport/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "storage/RecordFormat.h"
#include "text/StoredText.h"

namespace ombrel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at the start of `bytes`, or 0.
// The ranges of the second byte are those of the Unicode standard's table of
// well-formed sequences.
std::size_t sequenceLength(std::string_view bytes) {
  const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (!isContinuation(at(i))) return 0;
  return length;
}

// The UTF-8 form of a stored byte: at most three bytes, since Windows-1252
// holds nothing beyond the Basic Multilingual Plane.
struct Utf8Form {
  char bytes[3] = {};
  unsigned char size = 0;
};

// The form of every stored byte, made once through the same crossing the
// window's texts take, so that an export reads every byte as the window does.
const std::array<Utf8Form, 256>& utf8OfStoredBytes() {
  static const std::array<Utf8Form, 256> table = [] {
    std::array<Utf8Form, 256> forms;
    for (int byte = 0; byte < 256; ++byte) {
      const char stored = static_cast<char>(byte);
      const std::string utf8 = fromStored({&stored, 1}).toStdString();
      Utf8Form& form = forms[static_cast<std::size_t>(byte)];
      form.size = static_cast<unsigned char>(utf8.copy(form.bytes, sizeof form.bytes));
    }
    return forms;
  }();
  return table;
}

}  // namespace

std::string_view withoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  return bytes;
}

TextEncoding detectEncoding(std::string_view bytes) {
  while (!bytes.empty()) {
    // Runs of ASCII, the bulk of any such file, are passed over eight bytes
    // at a time.
    std::uint64_t eight = 0;
    if (bytes.size() >= sizeof eight) {
      std::memcpy(&eight, bytes.data(), sizeof eight);
      if ((eight & 0x8080808080808080ULL) == 0) {
        bytes.remove_prefix(sizeof eight);
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes.front()) < 0x80) {
      bytes.remove_prefix(1);
      continue;
    }
    const std::size_t length = sequenceLength(bytes);
    if (length == 0) return TextEncoding::Windows1252;
    bytes.remove_prefix(length);
  }
  return TextEncoding::Utf8;
}

QString decodeText(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8)
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  fromCp1252(bytes, text.data());
  return text;
}

// True when every stored byte is that of an ASCII character: the bulk of
// most entry files, and a loop the compiler makes vector code of.
bool storedAscii(std::string_view stored) {
  unsigned outside = 0;
  for (unsigned char byte : stored)
    outside |= static_cast<unsigned>(byte - storage::kShift) >= 0x80 ? 1U : 0U;
  return outside == 0;
}

void appendUtf8OfStored(std::string& out, std::string_view stored) {
  const std::size_t start = out.size();
  if (storedAscii(stored)) {
    out.resize(start + stored.size());
    std::transform(stored.begin(), stored.end(), out.begin() + static_cast<std::ptrdiff_t>(start),
                   [](char byte) {
                     return static_cast<char>(static_cast<unsigned char>(byte) - storage::kShift);
                   });
    return;
  }
  // Written through a pointer into room made beforehand: appending byte by
  // byte would check the capacity for every byte.
  const auto& forms = utf8OfStoredBytes();
  out.resize(start + stored.size() * sizeof(Utf8Form::bytes));
  char* end = out.data() + start;
  for (unsigned char byte : stored) {
    const Utf8Form& form = forms[byte];
    end[0] = form.bytes[0];
    end[1] = form.bytes[1];
    end[2] = form.bytes[2];
    end += form.size;
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
}

QString plainOfStored(std::string_view stored) {
  if (!storedAscii(stored)) return fromStored(stored);
  QString text(static_cast<qsizetype>(stored.size()), Qt::Uninitialized);
  std::transform(stored.begin(), stored.end(), text.begin(), [](char byte) {
    return QChar(static_cast<char16_t>(static_cast<unsigned char>(byte) - storage::kShift));
  });
  return text;
}

}  // namespace ombrel

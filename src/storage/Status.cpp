// SPDX-License-Identifier: MIT
#include "storage/Status.h"

#include <cerrno>
#include <system_error>

namespace ombrel::storage {
namespace {

std::string systemText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

}  // namespace

Status Status::readError(int error) {
  return Status(error == ENOENT ? Kind::Missing : Kind::ReadFailed, systemText(error), error);
}

Status Status::writeError(int error) { return Status(Kind::WriteFailed, systemText(error), error); }

const std::string& Status::reason() const {
  static const std::string none;
  return failure_ ? failure_->reason : none;
}

}  // namespace ombrel::storage

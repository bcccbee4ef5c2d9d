// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/io_status.h"

#include <cerrno>
#include <cstring>

namespace karvex {

IoStatus IoStatus::FromErrno(Code code, std::filesystem::path file) {
    return {code, std::move(file), std::strerror(errno)};
}

IoStatus IoStatus::ShortRead(std::filesystem::path file) {
    return {Code::ReadFailed, std::move(file),
            errno ? std::strerror(errno) : "The file ended early."};
}

}  // namespace karvex

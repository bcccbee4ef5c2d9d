// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace karvex {

// How a routine ended, with the message the user was shown about it (empty where none).
// The statuses are ordered by how bad they are, so a command that runs several routines
// reports the worst of them.
struct Result {
    enum class Status {
        Done,
        Refused,    // invalid or incomplete data, a declined question, a limit, an unsafe entry
        Cancelled,  // the user stopped it
        Failed,     // a file could not be read or written
    };
    Status status = Status::Done;
    std::string message;

    bool IsDone() const { return status == Status::Done; }
    // The routine ended early: what came after it in a command is not to run.
    bool Stopped() const { return status == Status::Cancelled || status == Status::Failed; }

    static Result Done() { return {}; }
    static Result Refused(std::string message = {}) {
        return {Status::Refused, std::move(message)};
    }
    static Result Cancelled() { return {Status::Cancelled, {}}; }
    static Result Failed(std::string message) { return {Status::Failed, std::move(message)}; }
};

// The worse of two results; the first where they are equally bad.
inline Result Worse(Result a, Result b) {
    return b.status > a.status ? std::move(b) : std::move(a);
}

}  // namespace karvex

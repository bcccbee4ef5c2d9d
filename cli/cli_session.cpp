// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_session.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <system_error>

#include "core/paths.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {
namespace {

// The thousands separator of the user's locale, as 8-bit text; "," where it has none.
std::string LocaleSeparator() {
    std::setlocale(LC_ALL, "");
    const std::lconv* conv = std::localeconv();
    const std::string separator =
        conv && conv->thousands_sep ? Utf8ToLatin1(conv->thousands_sep) : "";
    return separator.empty() ? "," : separator;
}

}  // namespace

int ExitFor(const Result& result) {
    switch (result.status) {
        case Result::Status::Done:
            return kExitDone;
        case Result::Status::Refused:
        case Result::Status::Cancelled:
            return kExitRefused;
        case Result::Status::Failed:
            return kExitUsage;
    }
    return kExitUsage;
}

std::optional<fs::path> AbsolutePath(const fs::path& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (!ec)
        return absolute;
    std::fprintf(stderr, "karvex32-cli: cannot locate %s from the current folder: %s\n",
                 path.c_str(), ec.message().c_str());
    return std::nullopt;
}

CliSession::CliSession(bool answerYes, bool showProgress)
    : m_host(answerYes, showProgress && isatty(STDERR_FILENO)) {
    m_session.SetHost(&m_host);
    m_core.SetGroupSeparator(LocaleSeparator());
}

int CliSession::Open(const std::string& file) {
    const auto path = AbsolutePath(file);
    if (!path)
        return kExitUsage;
    std::error_code ec;
    if (!fs::exists(*path, ec)) {
        m_host.ShowMessage(
            "File not found" + m_state.LineFeed + m_state.LineFeed + DisplayPath(*path), kCaption,
            Icon::Exclamation);
        return kExitUsage;
    }
    return ExitFor(m_session.Open(*path, m_row));
}

int CliSession::OpenOrReport(const std::string& file) {
    const int status = Open(file);
    if (status != kExitDone && status != kExitUsage)
        ReportNotOpened();
    return status;
}

int FinishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "karvex32-cli: cannot write to standard output\n");
        return kExitUsage;
    }
    return kExitDone;
}

void CliSession::PrintListing() const {
    std::printf("status\t%s\n", Latin1ToUtf8(m_core.StatusText()).c_str());
    std::printf("size\t%s\n", Latin1ToUtf8(m_row.Label3).c_str());
    std::printf("files\t%s\n", Latin1ToUtf8(m_row.Label4).c_str());
    for (int i = 0; i < m_table.Count(); ++i) {
        std::printf("%s\t%s\t%s\n", Latin1ToUtf8(m_table.Name(i)).c_str(),
                    Latin1ToUtf8(m_table.Size(i)).c_str(), Latin1ToUtf8(m_table.Offset(i)).c_str());
    }
}

void CliSession::ReportNotOpened() const {
    std::fprintf(stderr, "karvex32-cli: %s\n", Latin1ToUtf8(m_core.StatusText()).c_str());
    for (int i = 0; i < m_table.Count(); ++i) {
        if (m_table.IsMissing(i))
            std::fprintf(stderr, "karvex32-cli: missing: %s\n",
                         Latin1ToUtf8(m_table.Name(i)).c_str());
    }
}

std::optional<std::string> CliSession::Folder(const fs::path& folder) {
    const auto path = AbsolutePath(folder);
    if (!path)
        return std::nullopt;
    std::error_code ec;
    if (fs::is_directory(*path, ec))
        return FolderText(path->lexically_normal());
    m_host.ShowMessage(
        "Folder not found" + m_state.LineFeed + m_state.LineFeed + DisplayPath(*path), kCaption,
        Icon::Exclamation);
    return std::nullopt;
}

int Report(CliSession& session, const Result& result) {
    if (!result.message.empty())
        session.Tell(result.message);
    return ExitFor(result);
}

int OpenEntry(CliSession& session, const std::string& archive, const std::string& entry,
              int& status) {
    status = session.OpenOrReport(archive);
    if (status != kExitDone)
        return -1;
    const int i = session.m_session.Find(Utf8ToLatin1(entry), false);
    if (i < 0) {
        std::fprintf(stderr, "karvex32-cli: no entry named %s\n", entry.c_str());
        status = kExitRefused;
    }
    return i;
}

int OpenWithFile(CliSession& session, const std::string& archive, const std::string& file,
                 fs::path& absolute) {
    const auto made = AbsolutePath(file);
    if (!made)
        return kExitUsage;
    absolute = *made;
    return session.OpenOrReport(archive);
}

int OpenEntryWithFile(CliSession& session, const std::string& archive, const std::string& entry,
                      const std::string& file, fs::path& absolute, int& status) {
    const auto made = AbsolutePath(file);
    if (!made) {
        status = kExitUsage;
        return -1;
    }
    absolute = *made;
    return OpenEntry(session, archive, entry, status);
}

Result WriteOutcome(const CliSession& session, const fs::path& target, const IoStatus& written) {
    if (written.IsDone())
        return Result::Done();
    const std::string& lf = session.m_state.LineFeed;
    const std::string text =
        "Cannot write " + DisplayPath(target) + lf + lf + Utf8ToLatin1(written.Reason());
    return written.code() == IoStatus::Code::Archive ? Result::Refused(text) : Result::Failed(text);
}

}  // namespace karvex

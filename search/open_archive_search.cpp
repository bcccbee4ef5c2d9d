// SPDX-License-Identifier: GPL-3.0-or-later
// The Search button over the open archive of a session.
#include <cerrno>
#include <memory>

#include "core/file_io.h"
#include "core/paths.h"
#include "core/pod_format.h"
#include "core/session.h"
#include "core/text.h"
#include "search/search.h"

namespace fs = std::filesystem;

namespace karvex {

Result SearchOpenArchive(Session& session, std::string_view typed, const SearchOptions& options,
                         SearchResults& results, const SearchHooks& hooks) {
    const SearchRequest request{std::string(typed), options, session.GroupSeparator()};
    SearchHooks watched = hooks;
    watched.cancelRequested = [&session, &hooks] {
        return session.CancelRequested() || (hooks.cancelRequested && hooks.cancelRequested());
    };
    if (!options.byContents)
        return SearchEntryList(session.Table(), request, results, watched);
    if (typed.empty())
        return Result::Refused();

    const ArchiveState& state = session.State();
    const fs::path path = state.ArchivePath();
    auto failed = [&](const std::string& reason) {
        return Result::Failed("Cannot read " + DisplayPath(path) + state.LineFeed + state.LineFeed +
                              Utf8ToLatin1(reason));
    };
    std::unique_ptr<ByteSource> source;
    if (const IoStatus opened = session.OpenArchiveBytes(source); !opened.IsDone())
        return failed(opened.Reason());
    errno = 0;
    Result result = SearchPodContents(session.Table(), *source, request, results, watched);
    if (result.status == Result::Status::Failed)
        return failed(errno ? ErrorText() : result.message);
    return result;
}

}  // namespace karvex

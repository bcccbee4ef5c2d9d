// SPDX-License-Identifier: GPL-3.0-or-later
// add, delete and rename: the archive edits, through the core's one edit routine.
#include "cli/edit_commands.h"

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "core/archive_edit.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {
namespace {

using Kind = EditChange::Kind;

// Opens `archive` and applies `plan` to it: the exit status.
int Edit(const std::string& archive, const EditPlan& plan) {
    CliSession session;
    if (const int status = session.OpenOrReport(archive); status != kExitDone)
        return status;
    std::vector<int> changed;
    return ExitFor(session.m_core.EditArchive(plan, changed));
}

}  // namespace

int RunAdd(const AddArgs& args) {
    if (args.as && args.files.size() != 1)
        return UsageError("--as names the entry of one FILE only");
    EditPlan plan;
    plan.replaceExisting = args.replace;
    for (const std::string& file : args.files) {
        // Taken before the open sequence makes the archive's folder current.
        const auto path = AbsolutePath(file);
        if (!path)
            return kExitUsage;
        std::string name;
        const std::string given = args.as.value_or(fs::path(file).filename().string());
        if (Utf8ToLatin1Exactly(given, name) != Latin1Conversion::Done)
            return UsageError("the name of " + file +
                              " has a character outside Latin-1, the archive's 8-bit text");
        plan.changes.push_back({Kind::Add, name, {}, *path});
    }
    return Edit(args.archive, plan);
}

int RunDelete(const DeleteArgs& args) {
    EditPlan plan;
    for (const std::string& name : args.names)
        plan.changes.push_back({Kind::Delete, Utf8ToLatin1(name), {}, {}});
    return Edit(args.archive, plan);
}

int RunRename(const RenameArgs& args) {
    EditPlan plan;
    plan.changes.push_back(
        {Kind::Rename, Utf8ToLatin1(args.oldName), Utf8ToLatin1(args.newName), {}});
    return Edit(args.archive, plan);
}

}  // namespace karvex

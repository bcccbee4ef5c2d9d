// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/response_list.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "core/paths.h"
#include "core/text.h"

namespace karvex {

namespace {

// How a response file's reader takes a line: its first 32 characters, blanks around them
// removed, cut before the first comma.
std::string ReadBack(std::string_view line) {
    std::string name = Trim(line.substr(0, 32));
    const std::size_t comma = name.find(',');
    if (comma != std::string::npos)
        name.resize(comma);
    return name;
}

bool LeadsInside(std::string_view line) {
    const bool control = std::any_of(line.begin(), line.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 32; });
    return !control && UnsafeNameReason(line).empty() && UnsafeNameReason(ReadBack(line)).empty();
}

}  // namespace

ResponseList ResponseListOf(const std::vector<std::string>& names) {
    ResponseList list;
    for (const std::string& name : names) {
        const std::string line = Trim(name);
        if (LeadsInside(line)) {
            list.lines += line + "\r\n";
        } else {
            list.leftOut.push_back(name);
        }
    }
    return list;
}

ResponseFilePlan PlanResponseFile(const std::vector<std::string>& names, const std::string& lf) {
    ResponseFilePlan plan{ResponseListOf(names), {}, {}};
    const std::vector<std::string>& leftOut = plan.list.leftOut;
    if (!names.empty() && leftOut.size() == names.size())
        plan.refusal = kNoneSafeText + NameList(leftOut, lf);
    else if (!leftOut.empty())
        plan.warning = kLeftOutText + NameList(leftOut, lf);
    return plan;
}

std::vector<int> EntriesNamed(const std::vector<std::string>& names, const EntryTable& table) {
    std::unordered_set<std::string> wanted;
    for (const std::string& name : names)
        wanted.insert(ToUpperLatin1(Trim(name)));
    std::vector<int> entries;
    for (int i = 0; i < table.Count(); ++i) {
        const std::string name = ToUpperLatin1(Trim(table.Name(i)));
        const std::size_t slash = name.rfind('\\');
        const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
        if (wanted.contains(name) || wanted.contains(last))
            entries.push_back(i);
    }
    return entries;
}

}  // namespace karvex

// SPDX-License-Identifier: GPL-3.0-or-later
// The name and size searches over the main window's lists, and the texts both searches show.
#include <string>

#include "core/entry_table.h"
#include "core/number_text.h"
#include "search/matching.h"
#include "search/search.h"

namespace karvex {

std::string SearchingText(std::int64_t position, std::string_view separator) {
    return "Searching " + FormatNumber(position, separator);
}

std::string FoundText(int found, std::string_view separator) {
    return FormatNumber(found, separator) + " Found";
}

std::string SearchText(std::string_view typed) {
    const std::size_t last = typed.find_last_not_of(' ');
    return std::string(typed.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

std::string SizeKey(std::string_view text, std::string_view separator) {
    std::string_view digits = text.substr(std::min(text.find_first_not_of(' '), text.size()));
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::string(text);
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
    // Eighteen digits hold every size there is; a longer number cannot be in one.
    if (digits.size() > 18)
        return std::string(text);
    const std::int64_t value = std::stoll(std::string(digits));
    return FormatNumber(negative ? -value : value, separator);
}

Result SearchEntryList(const EntryTable& table, const SearchRequest& request,
                       SearchResults& results, const SearchHooks& hooks) {
    if (request.text.empty())
        return Result::Refused();
    results.Clear();
    const bool bySize = request.options.bySize;
    const std::string text = SearchText(request.text);
    TextMatcher matcher(bySize ? SizeKey(text, request.separator) : text,
                        request.options.matchCase);
    for (int i = 0; i < table.Count(); ++i) {
        if (StopRequested(hooks, i + 1, results))
            return Result::Cancelled();
        if (matcher.Contains(bySize ? table.Size(i) : table.Name(i))) {
            results.rows.push_back({i, table.Name(i), table.Size(i)});
            results.selected.push_back(i);
        }
    }
    return Result::Done();
}

}  // namespace karvex

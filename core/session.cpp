// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session.h"

namespace karvex {

void Session::OnBusyChanged(const void* owner, std::function<void(bool)> listener) {
    m_busyListeners.emplace_back(owner, std::move(listener));
}

void Session::RemoveListeners(const void* owner) {
    std::erase_if(m_busyListeners, [owner](const auto& entry) { return entry.first == owner; });
    std::erase_if(m_selectionListeners,
                  [owner](const auto& entry) { return entry.first == owner; });
}

void Session::SelectEntries(const std::vector<int>& entries) {
    EntryTable& table = Table();
    for (int i : entries) {
        if (i >= 0 && i < table.Count())
            table.SetSelected(i, true);
    }
    // A copy: a listener may close a window, which removes its own listeners.
    const auto listeners = m_selectionListeners;
    for (const auto& entry : listeners)
        entry.second();
}

void Session::OnSelectionChanged(const void* owner, std::function<void()> listener) {
    m_selectionListeners.emplace_back(owner, std::move(listener));
}

void Session::SetBusy(bool busy) {
    m_cancelRequested = false;
    if (m_busy == busy)
        return;
    m_busy = busy;
    if (!busy)
        CommandEnded();
    const auto listeners = m_busyListeners;
    for (const auto& entry : listeners)
        entry.second(busy);
}

ByteRange Session::EntryExtent(int i) const {
    const EntryTable& table = Table();
    if (i < 0 || i >= table.Count())
        return {0, 0, false};
    return table.Extent(i, State().PodFileLength);
}

Result Session::ReadEntry(int i, const BlockReceiver& receive) const {
    const EntryTable& table = Table();
    if (i < 0 || i >= table.Count() || table.IsMissing(i))
        return Result::Refused("There is no such entry.");
    return ReadRange(table.OffsetOf(i), table.SizeOf(i), receive);
}

}  // namespace karvex

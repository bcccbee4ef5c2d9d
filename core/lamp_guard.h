// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/host.h"

namespace karvex {

// While a routine reads or writes a file: the lamp red and (unless told otherwise) the logo
// timer stopped; afterwards, however the routine ends, the lamp green and the timer back
// at its 100 ms.
class LampGuard {
  public:
    explicit LampGuard(Host& host, bool stopTimer = true) : m_host(host), m_timer(stopTimer) {
        m_host.SetLamp(Lamp::Red);
        if (m_timer)
            m_host.SetTimerInterval(0);
    }
    ~LampGuard() {
        if (m_timer)
            m_host.SetTimerInterval(kTimerMilliseconds);
        m_host.SetLamp(Lamp::Green);
    }
    LampGuard(const LampGuard&) = delete;
    LampGuard& operator=(const LampGuard&) = delete;

    static constexpr int kTimerMilliseconds = 100;

  private:
    Host& m_host;
    bool m_timer;
};

}  // namespace karvex

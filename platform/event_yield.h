// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace karvex::platform {

// Processes all pending events (repaints, clicks, timer ticks), then returns.
void YieldToEvents();

}  // namespace karvex::platform

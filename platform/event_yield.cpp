// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/event_yield.h"

#include <QCoreApplication>

namespace karvex::platform {

void YieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace karvex::platform

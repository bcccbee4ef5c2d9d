#include "event_yield.h"

#include <QCoreApplication>

namespace karvex::platform {

void YieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace karvex::platform

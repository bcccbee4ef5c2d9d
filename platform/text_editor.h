#pragma once

#include <QString>

namespace karvex::platform {

// Starts the user's text editor on `path` without waiting for it: the command in $VISUAL
// when it is set (it may carry its own arguments), else the desktop's opener, xdg-open.
// False when it cannot be started.
bool StartTextEditor(const QString& path);

}  // namespace karvex::platform

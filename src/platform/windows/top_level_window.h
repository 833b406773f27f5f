#pragma once
// Windows sends some messages (the session's end, the task bar's return) to every top-level
// window, and Qt's native event filters see those of Qt's own windows only. The program's
// windows may have no native window yet while it sits in the tray, so a hidden one is made
// for the filters to hear them from the start.

class QObject;

namespace quillmark::win {

// Creates a hidden top-level window that is never shown and lives as long as `owner`.
void keepHiddenTopLevelWindow(QObject* owner);

} // namespace quillmark::win

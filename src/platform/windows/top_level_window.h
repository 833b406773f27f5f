#pragma once
// Windows sends some messages (the session's end, the task bar's return) to every top-level
// window, and Qt's native event filters see those of Qt's own windows only. The program's
// windows may have no native window yet while it sits in the tray, so a hidden one is made
// for the filters to hear them from the start.

class QAbstractNativeEventFilter;
class QObject;

namespace quillmark::win {

// Installs `filter` (taking it over) with a hidden top-level window that is never shown,
// both for as long as `owner` lives.
void watchTopLevelMessages(QObject* owner, QAbstractNativeEventFilter* filter);

} // namespace quillmark::win

// What the parts of the Qt realization share among themselves.
#pragma once

#include <QString>
#include <string>

class QMainWindow;
class QWidget;

// The program's window, or nullptr before WindowOpen and after RuntimeEnd.
QMainWindow* QtMainWindow();

// The widget in which controls are created now (ControlParentSet), or nullptr.
QWidget* QtControlParent();
// The widget of a control id, or nullptr.
QWidget* QtControlWidget(int id);
// Enters a created widget in the control table under its id.
void QtControlAdd(int id, QWidget* widget);

// Queues an event for EventWait to hand out.
void QtRecordEvent(int code, int id);

// A text leaving Qt, as the program's texts are: in Windows-1252 when every
// character has a byte there, otherwise in UTF-8.
std::string QtBytesFromText(const QString& text);

// Set KELPRA_EXIT_AFTER_FIRST_PAGE=1 and the program ends (as if closed)
// once the browser control has painted its first page: the start-up
// benchmark measures exactly that span.
bool QtExitAfterFirstPage();

// Set KELPRA_STATUS_LOG to a file and every text the status bar shows is
// added to it as a line: how the end-to-end test reads the status bar of
// the running program.
void QtLogStatus(const std::string& text);

// Printing, in a module of its own that the program loads when the user
// first prints: Qt's print support is then no part of any start.
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>

extern "C" Q_DECL_EXPORT void KelpraPrint(QTextEdit* view)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, view->window());
    if (dialog.exec() == QDialog::Accepted) view->print(&printer);
}

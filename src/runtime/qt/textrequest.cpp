#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>

#include "runtime/qt/qtlayer.h"
#include "runtime/qt/browsertext.h"
#include "runtime/requesters.h"

std::string TextRequest(const std::string& title, const std::string& prompt, const std::string& text)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QtMainWindow(), QtTextFromBytes(title), QtTextFromBytes(prompt),
                              QLineEdit::Normal, QtTextFromBytes(text), &ok);
    return ok ? QtBytesFromText(answer) : "";
}

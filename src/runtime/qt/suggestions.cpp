// The search field's drop-down of suggestions as the user types.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "runtime/qt/browsertext.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(id));
    if (!field) return;
    delete field->findChild<QCompleter*>(QString(), Qt::FindDirectChildrenOnly);
    if (!source) return;
    // The program has the keywords sorted already; the completer only shows
    // them, unfiltered, and the field is filled only when one is chosen.
    auto* completer = new QCompleter(field);
    auto* model = new QStringListModel(completer);
    completer->setModel(model);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setWidget(field);
    completer->popup()->setProperty(QtSuggestionsProperty, id);
    QObject::connect(field, &QLineEdit::textEdited, completer,
                     [completer, model, source](const QString& text) {
                         QStringList shown;
                         for (const std::string& suggestion : source(QtBytesFromText(text)))
                             shown << QtTextFromBytes(suggestion);
                         model->setStringList(shown);
                         if (shown.isEmpty()) return completer->popup()->hide();
                         completer->setMaxVisibleItems(static_cast<int>(shown.size()));
                         completer->complete();
                         // No row looks chosen before the user chooses one:
                         // Enter runs the search for what was typed.
                         completer->popup()->setCurrentIndex(QModelIndex());
                     });
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), field,
                     [field, menuId](const QString& chosen) {
                         field->setText(chosen);
                         QtRecordEvent(EventMenu, menuId);
                     });
}

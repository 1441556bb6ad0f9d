// The search field's drop-down of suggestions as the user types.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStandardItemModel>

#include "runtime/qt/browsertext.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

namespace {

// The rows, then the note: greyed, and never chosen by the arrow keys or a
// click.
void Fill(QStandardItemModel* model, const Suggestions& suggestions)
{
    model->clear();
    for (const std::string& row : suggestions.rows) model->appendRow(new QStandardItem(QtTextFromBytes(row)));
    if (suggestions.note.empty()) return;
    auto* note = new QStandardItem(QtTextFromBytes(suggestions.note));
    note->setFlags(Qt::NoItemFlags);
    QFont font = note->font();
    font.setItalic(true);
    note->setFont(font);
    model->appendRow(note);
}

}  // namespace

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(id));
    if (!field) return;
    delete field->findChild<QCompleter*>(QString(), Qt::FindDirectChildrenOnly);
    if (!source) return;
    // The program has the keywords sorted already; the completer only shows
    // them, unfiltered, and the field is filled only when one is chosen.
    auto* completer = new QCompleter(field);
    auto* model = new QStandardItemModel(completer);
    completer->setModel(model);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    // The arrows stop at the last keyword rather than wrap round past the note.
    completer->setWrapAround(false);
    completer->setWidget(field);
    completer->popup()->setProperty(QtSuggestionsProperty, id);
    QObject::connect(field, &QLineEdit::textEdited, completer,
                     [completer, model, source](const QString& text) {
                         const Suggestions suggestions = source(QtBytesFromText(text));
                         Fill(model, suggestions);
                         if (suggestions.rows.empty()) return completer->popup()->hide();
                         completer->setMaxVisibleItems(model->rowCount());
                         completer->complete();
                         // No row looks chosen before the user chooses one: Enter runs the
                         // search for what was typed.
                         completer->popup()->setCurrentIndex(QModelIndex());
                     });
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), field,
                     [field, menuId](const QString& chosen) {
                         field->setText(chosen);
                         QtRecordEvent(EventMenu, menuId);
                     });
}

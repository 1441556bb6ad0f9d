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

constexpr char HolderName[] = "kelpraSuggestionsHolder";

// The drop-down, made when the user first types: a start does not wait
// for a list view nobody has asked for yet.
QCompleter* MakeCompleter(QObject* holder, QLineEdit* field, int id, int menuId)
{
    // The program has the keywords sorted already; the completer only shows
    // them, unfiltered, and the field is filled only when one is chosen.
    auto* completer = new QCompleter(holder);
    auto* model = new QStandardItemModel(completer);
    completer->setModel(model);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    // The arrows stop at the last keyword rather than wrap round past the note.
    completer->setWrapAround(false);
    completer->setWidget(field);
    completer->popup()->setProperty(QtSuggestionsProperty, id);
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), field,
                     [field, menuId](const QString& chosen) {
                         field->setText(chosen);
                         QtRecordEvent(EventMenu, menuId);
                     });
    return completer;
}

}  // namespace

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(id));
    if (!field) return;
    delete field->findChild<QObject*>(HolderName, Qt::FindDirectChildrenOnly);
    if (!source) return;
    auto* holder = new QObject(field);
    holder->setObjectName(HolderName);
    QObject::connect(field, &QLineEdit::textEdited, holder,
                     [holder, field, id, menuId, source](const QString& text) {
                         auto* completer = holder->findChild<QCompleter*>();
                         if (!completer) completer = MakeCompleter(holder, field, id, menuId);
                         auto* model = static_cast<QStandardItemModel*>(completer->model());
                         const Suggestions suggestions = source(QtBytesFromText(text));
                         Fill(model, suggestions);
                         if (suggestions.rows.empty()) return completer->popup()->hide();
                         completer->setMaxVisibleItems(model->rowCount());
                         completer->complete();
                         // No row looks chosen before the user chooses one: Enter runs the
                         // search for what was typed.
                         completer->popup()->setCurrentIndex(QModelIndex());
                     });
}

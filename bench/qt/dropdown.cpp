// The search field's type-ahead drop-down on a context list of 100,000
// keywords: each keystroke of "cmd04567" through a real field (the program
// asked, the list filled, the drop-down shown), beside a bare QCompleter
// that filters all the keywords itself (the baseline). Prints figures,
// asserts nothing; runs on Qt's offscreen platform unless told otherwise.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>
#include <cstdlib>

#include "../keywordlist.h"
#include "helpindex/typeahead.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

namespace {

Suggestions KeywordSuggestions(const std::string& typed)
{
    TypeAheadRows rows = TypeAheadKeywords(typed, TypeAheadScreenful);
    return {std::move(rows.keywords), rows.more > 0 ? "more" : ""};
}

// Types the word one key at a time, each key handled before the next.
void TypeInto(QLineEdit* field)
{
    field->clear();
    for (char letter : BenchTyped) {
        const QString text(QChar::fromLatin1(letter));
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(field, &press);
        QCoreApplication::processEvents();
    }
}

void Keystroke(benchmark::State& state)
{
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(4));
    for (auto _ : state) TypeInto(field);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(BenchTyped.size()));
}

void KeystrokeBareCompleter(benchmark::State& state)
{
    QStringList keywords;
    for (auto* element = State.contextList.first; element; element = element->next)
        keywords << QString::fromStdString(element->record.keyword);
    QLineEdit field;
    field.show();
    QCompleter completer(keywords);
    completer.setCaseSensitivity(Qt::CaseInsensitive);
    completer.setMaxVisibleItems(TypeAheadScreenful);
    field.setCompleter(&completer);
    for (auto _ : state) TypeInto(&field);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(BenchTyped.size()));
}

BENCHMARK(Keystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(KeystrokeBareCompleter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    FillBenchKeywordList();
    RuntimeStart();
    WindowOpen(0, 0, 0, 500, 300, StyleOverlappedWindow, "Type-ahead");
    ControlParentSet(WindowHandle());
    TextFieldCreate(4, 0, 0, 300, 20, "");
    TextFieldSuggestionsSet(4, KeywordSuggestions, 0);
    TypeAheadKeywords("x", 1);  // the index is built before the keystrokes
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RuntimeEnd();
    ListRelease(State.contextList);
    return 0;
}

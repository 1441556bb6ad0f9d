#include <QInputDialog>
#include <QTimer>
#include <functional>

#include "runtime/qt/qttest.h"
#include "runtime/requesters.h"

namespace {

void OnNextInputDialog(const std::function<void(QInputDialog*)>& act)
{
    QTimer::singleShot(20, [act]() {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) act(dialog);
        else OnNextInputDialog(act);
    });
}

// The texts go in and out in the program's own bytes (Windows-1252 where
// they fit); the field starts with the text given; cancel gives "".
TEST_F(GuiTest, TextRequestAsksForALine)
{
    struct Case {
        const char* start;
        const char* shown;  // the field's first text, UTF-8
        const char* typed;  // nullptr: cancelled
        const char* answer;
    };
    const Case cases[] = {
        {"print", "print", nullptr, ""},
        {"print", "print", "print fadein", "print fadein"},
        {"", "", "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80"},
        {"caf\xE9", "caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const Case& c : cases) {
        QString title, prompt, start;
        OnNextInputDialog([&, c](QInputDialog* dialog) {
            title = dialog->windowTitle();
            prompt = dialog->labelText();
            start = dialog->textValue();
            if (!c.typed) return dialog->reject();
            dialog->setTextValue(QString::fromUtf8(c.typed));
            dialog->accept();
        });
        EXPECT_EQ(TextRequest("Kelpra V2>Search Pages", "Words (\xE9):", c.start), c.answer) << c.answer;
        EXPECT_EQ(title, "Kelpra V2>Search Pages");
        EXPECT_EQ(prompt, QString::fromUtf8("Words (\xC3\xA9):"));
        EXPECT_EQ(start.toStdString(), c.shown);
    }
}

}  // namespace

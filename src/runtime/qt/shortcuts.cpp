// The keyboard and the mouse before the focused widget sees them: the
// program's shortcuts, the browser's history keys and buttons, F10 and the
// text fields' focus.
#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>
#include <utility>
#include <vector>

#include "runtime/browser.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

namespace {

// A notch of a mouse wheel, in Qt's eighths of a degree.
constexpr int WheelNotch = 120;

// Keys with modifier bits, and the menu id each sends.
std::vector<std::pair<int, int>>& Shortcuts()
{
    static std::vector<std::pair<int, int>> shortcuts;
    return shortcuts;
}

// The plus and minus keys, on the keypad or not, as Windows names them.
int ZoomKeyOf(const QKeyEvent* event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal) return keypad ? KeyAdd : KeyPlus;
    if (event->key() == Qt::Key_Minus) return keypad ? KeySubtract : KeyMinus;
    return 0;
}

// The layer's modifier bits of an input event.
int ModifierBitsOf(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= ShortcutShift;
    if (modifiers & Qt::ControlModifier) bits |= ShortcutCtrl;
    if (modifiers & Qt::AltModifier) bits |= ShortcutAlt;
    return bits;
}

// Single keys and their Windows virtual-key codes.
struct KeyCode {
    int qt;
    int windows;
};
constexpr KeyCode SingleKeys[] = {
    {Qt::Key_Return, KeyEnter}, {Qt::Key_Enter, KeyEnter},   {Qt::Key_Tab, KeyTab},
    {Qt::Key_Backtab, KeyTab},  {Qt::Key_Escape, KeyEscape}, {Qt::Key_Space, 0x20},
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Delete, 0x2E},      {Qt::Key_Insert, 0x2D},
    {Qt::Key_Home, 0x24},       {Qt::Key_End, 0x23},         {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
};

// Keys in runs that Windows numbers in the same order.
struct KeyRun {
    int firstQt;
    int lastQt;
    int firstWindows;
};
constexpr KeyRun KeyRuns[] = {
    {Qt::Key_Left, Qt::Key_Down, 0x25},
    {Qt::Key_F1, Qt::Key_F24, 0x70},
    {Qt::Key_A, Qt::Key_Z, 'A'},
    {Qt::Key_0, Qt::Key_9, '0'},
};

// The Windows virtual-key code of a key press with the layer's modifier
// bits, or 0 for a key that no shortcut can name.
int WindowsKeyOf(const QKeyEvent* event)
{
    const int key = event->key();
    int code = ZoomKeyOf(event);
    for (const KeyCode& single : SingleKeys)
        if (key == single.qt) code = single.windows;
    for (const KeyRun& run : KeyRuns)
        if (key >= run.firstQt && key <= run.lastQt) code = run.firstWindows + (key - run.firstQt);
    if (code == 0) return 0;
    return code | ModifierBitsOf(event->modifiers());
}

// The browser's own history keys: Alt+Left and Alt+Right, the keyboard's
// Back and Forward keys and the mouse's back and forward buttons. 0 for
// any other event.
int HistoryCommandOf(const QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Back) return BrowserBack;
        if (key->key() == Qt::Key_Forward) return BrowserForward;
        if (modifiers != Qt::AltModifier) return 0;
        if (key->key() == Qt::Key_Left) return BrowserBack;
        if (key->key() == Qt::Key_Right) return BrowserForward;
        return 0;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() == Qt::BackButton) return BrowserBack;
        if (mouse->button() == Qt::ForwardButton) return BrowserForward;
    }
    return 0;
}

bool HasShortcut(int key)
{
    for (const auto& shortcut : Shortcuts())
        if (shortcut.first == key) return true;
    return false;
}

bool RecordShortcut(int key)
{
    for (const auto& shortcut : Shortcuts()) {
        if (shortcut.first == key) {
            QtRecordEvent(EventMenu, shortcut.second);
            return true;
        }
    }
    return false;
}

// The window, and the drop-down of a text field's suggestions, which is a
// window of its own that holds the keyboard while it is open.
bool InOurWindow(QObject* watched)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* window = QtMainWindow();
    if (!window || !widget) return false;
    return widget->window() == window || widget->window()->property(QtSuggestionsProperty).isValid();
}

// Enter belongs to the focused control when it has a use for it; asked of
// the focus rather than of the widget the key has reached, since a key the
// control leaves goes on to its parents.
bool FocusOwnsEnter()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (widget->property(QtOwnEnterProperty).isValid()) return true;
    return false;
}

// Enter and Escape belong to a bar that asks for them (the find bar), and
// Enter on a chosen suggestion to the drop-down; Enter to a control with a
// use of its own for it.
bool KeyBelongsToWidget(QObject* watched, int key)
{
    const int plain = key & 0xFFFF;
    if (plain != KeyEnter && plain != KeyEscape) return false;
    for (auto* widget = qobject_cast<QWidget*>(watched); widget; widget = widget->parentWidget())
        if (widget->property(QtOwnKeysProperty).isValid()) return true;
    if (plain == KeyEnter && FocusOwnsEnter()) return true;
    auto* list = qobject_cast<QAbstractItemView*>(watched);
    if (!list || !list->property(QtSuggestionsProperty).isValid()) return false;
    // The drop-down marks a row current without choosing it; the arrow keys
    // and the mouse select it.
    if (plain == KeyEnter && list->selectionModel()->hasSelection()) return true;
    // Enter on typed text is the program's own key: the drop-down goes.
    list->hide();
    return plain == KeyEscape;
}

bool TakeShortcut(QObject* watched, QKeyEvent* event)
{
    if (!InOurWindow(watched)) return false;
    const int key = WindowsKeyOf(event);
    if (KeyBelongsToWidget(watched, key)) return false;
    // F10 opens the menu bar's first menu, wherever the focus is.
    QMenuBar* bar = QtMenuBar();
    if (key == KeyF10 && bar && !bar->actions().isEmpty()) {
        bar->setActiveAction(bar->actions().first());
        return true;
    }
    if (!RecordShortcut(key)) return false;
    // A command given while the drop-down is open closes it.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget->window()->property(QtSuggestionsProperty).isValid()) widget->window()->hide();
    return true;
}

// Sees every event of the program first: shortcuts are taken before the
// focused control gets the key, the browser's history keys work wherever
// the focus is, and the text fields report their focus.
class LayerFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QEvent::Type type = event->type();
        if (int command = HistoryCommandOf(event))
            return InOurWindow(watched) && QtControlStateToAny(command);
        if (type == QEvent::KeyPress) return TakeShortcut(watched, static_cast<QKeyEvent*>(event));
        if (type == QEvent::Wheel) return TakeWheel(watched, static_cast<QWheelEvent*>(event));
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            QVariant id = watched->property(QtTextFieldProperty);
            if (id.isValid()) QtRecordEvent(EventControl, id.toInt());
        }
        return false;
    }

private:
    bool TakeWheel(QObject* watched, QWheelEvent* event)
    {
        const int modifiers = ModifierBitsOf(event->modifiers());
        if (!InOurWindow(watched) ||
            !(HasShortcut(KeyWheelForward | modifiers) || HasShortcut(KeyWheelBackward | modifiers)))
            return false;
        // A touchpad sends many small turns. The small ones are kept back
        // too, or the view would zoom by itself.
        wheelTurned_ += event->angleDelta().y();
        while (wheelTurned_ >= WheelNotch || wheelTurned_ <= -WheelNotch) {
            const int key = (wheelTurned_ > 0 ? KeyWheelForward : KeyWheelBackward);
            wheelTurned_ += wheelTurned_ > 0 ? -WheelNotch : WheelNotch;
            RecordShortcut(key | modifiers);
        }
        return true;
    }

    int wheelTurned_ = 0;
};

}  // namespace

void QtEventFilterInstall()
{
    static QObject* filter = nullptr;
    if (filter) return;
    filter = new LayerFilter(qApp);
    qApp->installEventFilter(filter);
}

void QtShortcutsClear()
{
    Shortcuts().clear();
}

int QtShortcutOf(int menuId)
{
    for (const auto& shortcut : Shortcuts())
        if (shortcut.second == menuId) return shortcut.first;
    return 0;
}

void ShortcutAdd(int, int key, int menuId)
{
    for (auto& shortcut : Shortcuts()) {
        if (shortcut.first == key) {
            shortcut.second = menuId;
            return;
        }
    }
    Shortcuts().emplace_back(key, menuId);
    QtMenuShowShortcut(menuId, QtShortcutOf(menuId));
}

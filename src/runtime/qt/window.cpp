#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCompleter>
#include <QFile>
#include <QFileInfo>
#include <deque>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>
#include <QWheelEvent>
#include <clocale>
#include <map>
#include <vector>

#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

namespace {

constexpr int HeartbeatMilliseconds = 100;

class LayerWindow;

struct MenuItem {
    QPointer<QAction> action;
    bool checked = false;
};

struct Event {
    int code;
    int id;
};

// The layer's own tables: one window, its menu, status bar and controls.
struct Layer {
    LayerWindow* window = nullptr;
    QWidget* client = nullptr;
    QWidget* controlParent = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* statusText = nullptr;
    QPointer<QMenuBar> menuBar;
    QMenu* currentMenu = nullptr;
    std::vector<QMenu*> enclosingMenus;
    std::map<int, MenuItem> menuItems;
    // The keyboard's letters taken in the bar ("") and in each menu.
    std::map<const QMenu*, std::string> mnemonics;
    std::map<int, QPointer<QWidget>> controls;
    std::vector<std::pair<int, int>> shortcuts;  // key with modifiers, menu id
    WindowCallback callback = nullptr;
    std::deque<Event> events;
    int lastId = 0;
    bool busy = false;
    QTimer* heartbeat = nullptr;
    QObject* filter = nullptr;
};

Layer& TheLayer()
{
    static Layer layer;
    return layer;
}

intptr_t HandleOf(QWidget* window)
{
    return reinterpret_cast<intptr_t>(window);
}

bool IsOurWindow(intptr_t handle)
{
    return TheLayer().window && handle == HandleOf(reinterpret_cast<QWidget*>(TheLayer().window));
}

// Hands a message to the application's callback first; true when the layer
// is to process it as usual.
bool CallbackLetsThrough(uint32_t message, uintptr_t first, intptr_t second)
{
    Layer& layer = TheLayer();
    if (!layer.callback) return true;
    return layer.callback(WindowHandle(), message, first, second) == CallbackDefault;
}

void DeliverSize()
{
    intptr_t size = (static_cast<intptr_t>(WindowAreaHeight() & 0xFFFF) << 16) | (WindowAreaWidth() & 0xFFFF);
    if (CallbackLetsThrough(MessageSize, 0, size)) QtRecordEvent(MessageSize, 0);
}

// The client area below the menu bar; the status bar lies over its bottom
// edge, and the controls stand at the pixel places they are given.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        PlaceStatusBar();
    }

public:
    void PlaceStatusBar()
    {
        QStatusBar* bar = TheLayer().statusBar;
        if (!bar) return;
        int height = bar->sizeHint().height();
        bar->setGeometry(0, this->height() - height, width(), height);
        bar->raise();
    }
};

class LayerWindow : public QMainWindow {
public:
    bool closing = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (closing) {
            event->accept();
            return;
        }
        // The close box only asks; the program decides when to end.
        event->ignore();
        if (CallbackLetsThrough(EventClose, 0, 0)) QtRecordEvent(EventClose, 0);
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QMainWindow::resizeEvent(event);
        DeliverSize();
    }

    void moveEvent(QMoveEvent* event) override
    {
        QMainWindow::moveEvent(event);
        intptr_t place = (static_cast<intptr_t>(y() & 0xFFFF) << 16) | (x() & 0xFFFF);
        if (CallbackLetsThrough(MessageMove, 0, place)) QtRecordEvent(MessageMove, 0);
    }
};

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

// The Windows virtual-key code of a key press with the layer's modifier
// bits, or 0 for a key that no shortcut can name.
int WindowsKeyOf(const QKeyEvent* event)
{
    int key = event->key();
    int code = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) code = KeyEnter;
    else if (key == Qt::Key_Tab || key == Qt::Key_Backtab) code = 9;
    else if (key == Qt::Key_Escape) code = 27;
    else if (key == Qt::Key_Space) code = 32;
    else if (key == Qt::Key_Backspace) code = 8;
    else if (key == Qt::Key_Delete) code = 46;
    else if (key == Qt::Key_Insert) code = 45;
    else if (key == Qt::Key_Home) code = 36;
    else if (key == Qt::Key_End) code = 35;
    else if (key == Qt::Key_PageUp) code = 33;
    else if (key == Qt::Key_PageDown) code = 34;
    else if (key >= Qt::Key_Left && key <= Qt::Key_Down) code = 37 + (key - Qt::Key_Left);
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F24) code = 0x70 + (key - Qt::Key_F1);
    else if (key >= Qt::Key_A && key <= Qt::Key_Z) code = 'A' + (key - Qt::Key_A);
    else if (key >= Qt::Key_0 && key <= Qt::Key_9) code = '0' + (key - Qt::Key_0);
    else code = ZoomKeyOf(event);
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
        if (int command = HistoryCommandOf(event)) return StepBrowser(watched, command);
        if (type == QEvent::KeyPress) return TakeShortcut(watched, static_cast<QKeyEvent*>(event));
        if (type == QEvent::Wheel) return TakeWheel(watched, static_cast<QWheelEvent*>(event));
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            QVariant id = watched->property("kelpraTextField");
            if (id.isValid()) QtRecordEvent(EventControl, id.toInt());
        }
        return false;
    }

private:
    // The window, and the drop-down of a text field's suggestions, which is
    // a window of its own that holds the keyboard while it is open.
    static bool InOurWindow(QObject* watched)
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!TheLayer().window || !widget) return false;
        return widget->window() == TheLayer().window ||
               widget->window()->property("kelpraSuggestions").isValid();
    }

    // Enter and Escape belong to a bar that asks for them (the find bar),
    // and Enter on a chosen suggestion to the drop-down.
    static bool KeyBelongsToWidget(QObject* watched, int key)
    {
        const int plain = key & 0xFFFF;
        if (plain != KeyEnter && plain != 27) return false;
        for (auto* widget = qobject_cast<QWidget*>(watched); widget; widget = widget->parentWidget())
            if (widget->property("kelpraOwnKeys").isValid()) return true;
        auto* list = qobject_cast<QAbstractItemView*>(watched);
        if (!list || !list->property("kelpraSuggestions").isValid()) return false;
        // The drop-down marks a row current without choosing it; the arrow
        // keys and the mouse select it.
        if (plain == KeyEnter && list->selectionModel()->hasSelection()) return true;
        // Enter on typed text is the program's own key: the drop-down goes.
        list->hide();
        return plain == 27;
    }

    bool TakeWheel(QObject* watched, QWheelEvent* event)
    {
        const int modifiers = ModifierBitsOf(event->modifiers());
        if (!InOurWindow(watched) ||
            !(HasShortcut(KeyWheelForward | modifiers) || HasShortcut(KeyWheelBackward | modifiers)))
            return false;
        // A touchpad sends many small turns; a notch of a wheel is 120. The
        // small ones are kept back too, or the view would zoom by itself.
        wheelTurned_ += event->angleDelta().y();
        while (wheelTurned_ >= 120 || wheelTurned_ <= -120) {
            const int key = (wheelTurned_ > 0 ? KeyWheelForward : KeyWheelBackward);
            wheelTurned_ += wheelTurned_ > 0 ? -120 : 120;
            RecordShortcut(key | modifiers);
        }
        return true;
    }

    static bool HasShortcut(int key)
    {
        for (const auto& shortcut : TheLayer().shortcuts)
            if (shortcut.first == key) return true;
        return false;
    }

    static bool RecordShortcut(int key)
    {
        for (const auto& shortcut : TheLayer().shortcuts) {
            if (shortcut.first == key) {
                QtRecordEvent(EventMenu, shortcut.second);
                return true;
            }
        }
        return false;
    }

    int wheelTurned_ = 0;

    static bool StepBrowser(QObject* watched, int command)
    {
        if (!InOurWindow(watched)) return false;
        for (const auto& control : TheLayer().controls) {
            if (auto* view = dynamic_cast<HelpView*>(control.second.data())) {
                view->Command(command);
                return true;
            }
        }
        return false;
    }

    bool TakeShortcut(QObject* watched, QKeyEvent* event)
    {
        Layer& layer = TheLayer();
        if (!InOurWindow(watched)) return false;
        int key = WindowsKeyOf(event);
        if (KeyBelongsToWidget(watched, key)) return false;
        // F10 opens the menu bar's first menu, wherever the focus is.
        if (key == 0x79 && layer.menuBar && !layer.menuBar->actions().isEmpty()) {
            layer.menuBar->setActiveAction(layer.menuBar->actions().first());
            return true;
        }
        if (!RecordShortcut(key)) return false;
        // A command given while the drop-down is open closes it.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget->window()->property("kelpraSuggestions").isValid()) widget->window()->hide();
        return true;
    }
};

QWidget* FindControl(int id)
{
    auto found = TheLayer().controls.find(id);
    return found == TheLayer().controls.end() ? nullptr : found->second.data();
}

void PlaceControl(QWidget* widget, int id, int x, int y, int width, int height)
{
    widget->setGeometry(x, y, width, height);
    widget->show();
    QtControlAdd(id, widget);
}

}  // namespace

QWidget* QtControlWidget(int id)
{
    return FindControl(id);
}

QMainWindow* QtMainWindow()
{
    return TheLayer().window;
}

QWidget* QtControlParent()
{
    return TheLayer().controlParent;
}

void QtControlAdd(int id, QWidget* widget)
{
    Layer& layer = TheLayer();
    layer.controls[id] = widget;
    if (layer.statusBar) layer.statusBar->raise();
}

void QtRecordEvent(int code, int id)
{
    TheLayer().events.push_back(Event{code, id});
}

std::string QtBytesFromText(const QString& text)
{
    return TextToAnsi(text.toStdString());
}

void QtLogStatus(const std::string& text)
{
    static const QByteArray log = qgetenv("KELPRA_STATUS_LOG");
    if (log.isEmpty()) return;
    QFile file(QFile::decodeName(log));
    if (file.open(QIODevice::Append)) file.write(QByteArray::fromStdString(text + "\n"));
}

bool QtExitAfterFirstPage()
{
    static const bool exitAfterFirstPage = qgetenv("KELPRA_EXIT_AFTER_FIRST_PAGE") == "1";
    return exitAfterFirstPage;
}

namespace {

// A local X display (":0", ":99.0") is a socket in /tmp/.X11-unix; a remote
// one is left to Qt to try.
bool XDisplayReachable(const QByteArray& display)
{
    if (!display.startsWith(':')) return true;
    QByteArray number = display.mid(1);
    if (qsizetype dot = number.indexOf('.'); dot >= 0) number.truncate(dot);
    return !number.isEmpty() && QFileInfo::exists("/tmp/.X11-unix/X" + QString::fromLatin1(number));
}

bool WaylandDisplayReachable(const QByteArray& display)
{
    if (display.startsWith('/')) return QFileInfo::exists(QFile::decodeName(display));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QFile::decodeName(runtime + "/" + display));
}

}  // namespace

int WindowDisplayAvailable()
{
    // A platform chosen on purpose (offscreen, vnc, ...) needs no display.
    if (!qgetenv("QT_QPA_PLATFORM").isEmpty()) return 1;
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!wayland.isEmpty() && WaylandDisplayReachable(wayland)) return 1;
    const QByteArray x = qgetenv("DISPLAY");
    return !x.isEmpty() && XDisplayReachable(x) ? 1 : 0;
}

void RuntimeStart()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "kelpra";
        static char* argv[] = {name, nullptr};
        // Qt sets the C locale from the environment; the text operations
        // keep the one the program started with.
        std::string locale = std::setlocale(LC_ALL, nullptr);
        new QApplication(argc, argv);
        std::setlocale(LC_ALL, locale.c_str());
    }
    Layer& layer = TheLayer();
    if (!layer.filter) {
        layer.filter = new LayerFilter(qApp);
        qApp->installEventFilter(layer.filter);
    }
    layer.events.clear();
    layer.lastId = 0;
}

void RuntimeEnd()
{
    Layer& layer = TheLayer();
    if (layer.window) {
        layer.window->closing = true;
        layer.window->close();
        delete layer.window;
    }
    BusyCursorSet(0);
    layer.window = nullptr;
    layer.client = nullptr;
    layer.controlParent = nullptr;
    layer.statusBar = nullptr;
    layer.statusText = nullptr;
    layer.currentMenu = nullptr;
    layer.enclosingMenus.clear();
    layer.menuItems.clear();
    layer.mnemonics.clear();
    layer.controls.clear();
    layer.shortcuts.clear();
    layer.callback = nullptr;
    layer.events.clear();
    FileCloseAll();
}

int WindowOpen(int, int x, int y, int width, int height, int32_t flags, const std::string& title)
{
    Layer& layer = TheLayer();
    if (layer.window || !QApplication::instance()) return 0;
    bool centreOnScreen = flags & WindowCentreOnScreen;
    bool centreOnActive = flags & WindowCentreOnActive;
    uint32_t style = static_cast<uint32_t>(flags) & ~(WindowCentreOnScreen | WindowCentreOnActive);
    bool hidden = style & StyleHidden;
    style &= ~StyleHidden;
    if (style == 0) style = StyleCaption;

    QWidget* active = QApplication::activeWindow();
    auto* window = new LayerWindow;
    Qt::WindowFlags windowFlags = Qt::Window | Qt::CustomizeWindowHint;
    if (style & StyleCaption) windowFlags |= Qt::WindowTitleHint;
    if (style & StyleSystemMenu) windowFlags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & StyleMinimizeBox) windowFlags |= Qt::WindowMinimizeButtonHint;
    if (style & StyleMaximizeBox) windowFlags |= Qt::WindowMaximizeButtonHint;
    window->setWindowFlags(windowFlags);
    window->setWindowTitle(QtTextFromBytes(title));
    layer.window = window;
    layer.client = new ClientArea(window);
    window->setCentralWidget(layer.client);
    window->resize(width, height);

    if (centreOnActive && !active) centreOnScreen = true;
    if (centreOnScreen && window->screen()) {
        QRect screen = window->screen()->geometry();
        x = screen.width() / 2 - std::min(width, screen.width()) / 2;
        y = screen.height() / 2 - std::min(height, screen.height()) / 2;
    } else if (centreOnActive) {
        QPoint centre = active->frameGeometry().center();
        x = std::max(0, centre.x() - width / 2);
        y = std::max(0, centre.y() - height / 2);
    }
    window->move(x, y);
    if (!hidden) {
        if (style & StyleMaximized) window->showMaximized();
        else window->show();
    }
    return 1;
}

intptr_t WindowHandle()
{
    return TheLayer().window ? HandleOf(TheLayer().window) : 0;
}

// The menu bar and the client area share the window's inner height, so the
// window's height is the client height plus the menu bar's.
int WindowAreaWidth()
{
    return TheLayer().window ? TheLayer().window->width() : 0;
}

int WindowAreaHeight()
{
    return TheLayer().window ? TheLayer().window->height() : 0;
}

void WindowSetCallback(WindowCallback callback)
{
    TheLayer().callback = callback;
}

int EventWait()
{
    Layer& layer = TheLayer();
    if (layer.events.empty()) {
        // A steady tick brings the loop round even when nothing happens, so
        // the page watcher sees pages reached by links.
        if (!layer.heartbeat) {
            layer.heartbeat = new QTimer(qApp);
            layer.heartbeat->start(HeartbeatMilliseconds);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    if (layer.events.empty()) return 0;
    Event event = layer.events.front();
    layer.events.pop_front();
    layer.lastId = event.id;
    return event.code;
}

int EventControlId()
{
    return TheLayer().lastId;
}

int EventMenuId()
{
    return TheLayer().lastId;
}

void ShortcutAdd(int, int key, int menuId)
{
    for (auto& shortcut : TheLayer().shortcuts) {
        if (shortcut.first == key) {
            shortcut.second = menuId;
            return;
        }
    }
    TheLayer().shortcuts.emplace_back(key, menuId);
}

int MenuBarCreate(int, intptr_t window)
{
    Layer& layer = TheLayer();
    if (!IsOurWindow(window)) return 0;
    if (layer.menuBar) {
        if (layer.window->menuWidget() == layer.menuBar) layer.window->setMenuWidget(nullptr);
        delete layer.menuBar;
    }
    layer.menuBar = new QMenuBar(layer.window);
    layer.menuBar->hide();
    layer.currentMenu = nullptr;
    layer.enclosingMenus.clear();
    layer.menuItems.clear();
    layer.mnemonics.clear();
    return 1;
}

void MenuTitleAdd(const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.menuBar) return;
    layer.enclosingMenus.clear();
    layer.currentMenu =
        layer.menuBar->addMenu(QtTextFromBytes(MenuTextWithMnemonic(text, layer.mnemonics[nullptr])));
    if (layer.window->menuWidget() != layer.menuBar) {
        layer.window->setMenuBar(layer.menuBar);
        layer.menuBar->show();
    }
}

void MenuItemAdd(int id, const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.currentMenu) return;
    QAction* action = layer.currentMenu->addAction(
        QtTextFromBytes(MenuTextWithMnemonic(text, layer.mnemonics[layer.currentMenu])));
    layer.menuItems[id] = MenuItem{action, false};
    QObject::connect(action, &QAction::triggered, action, [id, action]() {
        // Qt turns a checkable item's mark over on its own; here only the
        // program sets it.
        auto found = TheLayer().menuItems.find(id);
        if (found != TheLayer().menuItems.end() && found->second.action == action && action->isCheckable())
            action->setChecked(found->second.checked);
        QtRecordEvent(EventMenu, id);
    });
}

void MenuSeparatorAdd()
{
    if (TheLayer().currentMenu) TheLayer().currentMenu->addSeparator();
}

void MenuSubmenuOpen(const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.currentMenu) return;
    layer.enclosingMenus.push_back(layer.currentMenu);
    const std::string marked = MenuTextWithMnemonic(text, layer.mnemonics[layer.currentMenu]);
    layer.currentMenu = layer.currentMenu->addMenu(QtTextFromBytes(marked));
}

void MenuSubmenuClose()
{
    Layer& layer = TheLayer();
    if (layer.enclosingMenus.empty()) return;
    layer.currentMenu = layer.enclosingMenus.back();
    layer.enclosingMenus.pop_back();
}

int MenuCheckGet(int, int id)
{
    auto found = TheLayer().menuItems.find(id);
    if (found == TheLayer().menuItems.end() || !found->second.action) return 0;
    return found->second.checked && found->second.action->isEnabled() ? 1 : 0;
}

void MenuCheckSet(int, int id, int state)
{
    auto found = TheLayer().menuItems.find(id);
    if (found == TheLayer().menuItems.end() || !found->second.action) return;
    QAction* action = found->second.action;
    found->second.checked = state != 0;
    action->setEnabled(true);
    action->setCheckable(true);
    action->setChecked(state != 0);
}

int StatusBarCreate(int, intptr_t window)
{
    Layer& layer = TheLayer();
    if (!IsOurWindow(window)) return 0;
    if (!layer.statusBar) {
        layer.statusBar = new QStatusBar(layer.client);
        layer.statusText = new QLabel(layer.statusBar);
        layer.statusText->setTextFormat(Qt::PlainText);
        layer.statusBar->addWidget(layer.statusText, 1);
        static_cast<ClientArea*>(layer.client)->PlaceStatusBar();
        layer.statusBar->show();
    }
    DeliverSize();
    return 1;
}

void StatusBarSetText(int, int, const std::string& text, int flags)
{
    QLabel* label = TheLayer().statusText;
    if (!label) return;
    label->setText(QtTextFromBytes(text));
    QtLogStatus(label->text().toStdString());
    Qt::Alignment alignment = Qt::AlignLeft;
    if (flags & StatusRight) alignment = Qt::AlignRight;
    else if (flags & StatusCentred) alignment = Qt::AlignHCenter;
    label->setAlignment(alignment | Qt::AlignVCenter);
    if (flags & StatusNoBorder) label->setFrameStyle(QFrame::NoFrame);
    else if (flags & StatusRaised) label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    else label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void ControlParentSet(intptr_t window)
{
    Layer& layer = TheLayer();
    layer.controlParent = IsOurWindow(window) ? layer.client : nullptr;
}

int ButtonCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    auto* button = new QPushButton(QtTextFromBytes(text), parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [id]() { QtRecordEvent(EventControl, id); });
    PlaceControl(button, id, x, y, width, height);
    return 1;
}

int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    auto* field = new QLineEdit(QtTextFromBytes(text), parent);
    field->setProperty("kelpraTextField", id);
    QObject::connect(field, &QLineEdit::textChanged, field, [id]() { QtRecordEvent(EventControl, id); });
    PlaceControl(field, id, x, y, width, height);
    return 1;
}

int LabelCreate(int id, int x, int y, int width, int height, const std::string& text, int flags)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    QWidget* widget = nullptr;
    if (flags == LabelGroupFrame) {
        widget = new QGroupBox(QtTextFromBytes(text), parent);
    } else {
        auto* label = new QLabel(QtTextFromBytes(text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        // 1: sunken edge; 2: thin etched edge (a 2-pixel line when that
        // high); anything else: a plain border.
        if (flags == LabelSunken) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(2);
        } else if (flags == LabelEtched) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
        } else {
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setLineWidth(1);
        }
        widget = label;
    }
    PlaceControl(widget, id, x, y, width, height);
    return 1;
}

void ToolTipSet(int id, const std::string& text)
{
    if (QWidget* widget = FindControl(id)) widget->setToolTip(QtTextFromBytes(text));
}

void ControlSetText(int id, const std::string& text)
{
    QWidget* widget = FindControl(id);
    if (auto* view = dynamic_cast<HelpView*>(widget)) view->Navigate(text);
    else if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(QtTextFromBytes(text));
    else if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(QtTextFromBytes(text));
    else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(QtTextFromBytes(text));
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(QtTextFromBytes(text));
}

std::string ControlGetText(int id)
{
    QWidget* widget = FindControl(id);
    std::string text;
    if (auto* view = dynamic_cast<HelpView*>(widget)) return view->Address().substr(0, BrowserAddressLimit);
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = QtBytesFromText(button->text());
    else if (auto* field = qobject_cast<QLineEdit*>(widget)) text = QtBytesFromText(field->text());
    else if (auto* label = qobject_cast<QLabel*>(widget)) text = QtBytesFromText(label->text());
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) text = QtBytesFromText(group->title());
    return text.substr(0, ControlTextLimit);
}

void ControlSetState(int id, int state)
{
    if (auto* view = dynamic_cast<HelpView*>(FindControl(id))) view->Command(state);
}

void ControlResize(int id, int x, int y, int width, int height)
{
    QWidget* widget = FindControl(id);
    if (!widget) return;
    QRect place = widget->geometry();
    if (x != -1) place.moveLeft(x);
    if (y != -1) place.moveTop(y);
    if (width != -1) place.setWidth(width);
    if (height != -1) place.setHeight(height);
    widget->setGeometry(place);
    widget->update();
}

void BusyCursorSet(int busy)
{
    Layer& layer = TheLayer();
    if (busy && !layer.busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && layer.busy) QApplication::restoreOverrideCursor();
    layer.busy = busy != 0;
}

ScreenArea WindowPlaceNow()
{
    LayerWindow* window = TheLayer().window;
    if (!window || window->isMinimized() || window->isMaximized() || window->isFullScreen()) return {};
    return {window->x(), window->y(), window->width(), window->height()};
}

std::vector<ScreenArea> ScreenAreas()
{
    std::vector<ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    return areas;
}

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    auto* field = qobject_cast<QLineEdit*>(FindControl(id));
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
    completer->popup()->setProperty("kelpraSuggestions", id);
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

// The window, its status bar and controls, and the event queue.
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <vector>

#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

// The icon's resource lives in this static library, so nothing would link
// it in unless asked for by name (outside any namespace, as Qt needs).
static void InitIconResource()
{
    Q_INIT_RESOURCE(kelpra);
}

namespace {

constexpr int HeartbeatMilliseconds = 100;
// What the first page does not need waits until it is drawn, or this long
// where no page is drawn (a window started minimised).
constexpr int FirstPageWaitMilliseconds = 1000;

class LayerWindow;

struct Control {
    QPointer<QWidget> widget;
    const QtControlHandlers* handlers = nullptr;
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
    std::map<int, Control> controls;
    WindowCallback callback = nullptr;
    std::deque<Event> events;
    int lastId = 0;
    bool busy = false;
    QTimer* heartbeat = nullptr;
    bool awaitedWorkStarted = false;
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

const Control* FindControl(int id)
{
    auto found = TheLayer().controls.find(id);
    return found == TheLayer().controls.end() || !found->second.widget ? nullptr : &found->second;
}

void PlaceControl(QWidget* widget, int id, int x, int y, int width, int height)
{
    widget->setGeometry(x, y, width, height);
    widget->show();
    QtControlAdd(id, widget, nullptr);
}

}  // namespace

QWidget* QtControlWidget(int id)
{
    const Control* control = FindControl(id);
    return control ? control->widget.data() : nullptr;
}

const QtControlHandlers* QtControlHandlersOf(int id)
{
    const Control* control = FindControl(id);
    return control ? control->handlers : nullptr;
}

bool QtControlStateToAny(int state)
{
    for (const auto& [id, control] : TheLayer().controls) {
        if (control.widget && control.handlers && control.handlers->setState) {
            control.handlers->setState(control.widget, state);
            return true;
        }
    }
    return false;
}

QMainWindow* QtMainWindow()
{
    return TheLayer().window;
}

QWidget* QtControlParent()
{
    return TheLayer().controlParent;
}

void QtControlAdd(int id, QWidget* widget, const QtControlHandlers* handlers)
{
    Layer& layer = TheLayer();
    layer.controls[id] = Control{widget, handlers};
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

// Kelpra's icon from the desktop's theme, where the package put it, else
// the one built into the program.
QIcon KelpraIcon()
{
    InitIconResource();
    QIcon builtIn;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QString(":/kelpra/kelpra-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme("kelpra", builtIn);
}

bool WaylandDisplayReachable(const QByteArray& display)
{
    if (display.startsWith('/')) return QFileInfo::exists(QFile::decodeName(display));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QFile::decodeName(runtime + "/" + display));
}

// Posted, so that the first page reaches the screen before the work begins.
void StartAwaitedWork()
{
    Layer& layer = TheLayer();
    if (layer.awaitedWorkStarted) return;
    layer.awaitedWorkStarted = true;
    QTimer::singleShot(0, qApp, []() {
        // Reading the icon's images loads Qt's image readers: a few
        // milliseconds nobody waits for once the page is there.
        if (QGuiApplication::windowIcon().isNull()) QApplication::setWindowIcon(KelpraIcon());
        QtHandOverStartAwaited();
    });
}

}  // namespace

bool QtFirstPageAwaited()
{
    const Layer& layer = TheLayer();
    return layer.window && !layer.awaitedWorkStarted;
}

void QtFirstPageDrawn()
{
    static const bool exitAfterFirstPage = qgetenv("KELPRA_EXIT_AFTER_FIRST_PAGE") == "1";
    if (exitAfterFirstPage) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    StartAwaitedWork();
}

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
        // The desktop matches the window to kelpra.desktop by this name
        // (Wayland takes the icon from there).
        QGuiApplication::setDesktopFileName("kelpra");
        QtMenuStyleInstall();
    }
    QtEventFilterInstall();
    Layer& layer = TheLayer();
    layer.events.clear();
    layer.lastId = 0;
}

void RuntimeEnd()
{
    QtHandOverEnd();
    Layer& layer = TheLayer();
    if (layer.window) {
        layer.window->closing = true;
        layer.window->close();
        delete layer.window;
    }
    BusyCursorSet(0);
    layer.window = nullptr;
    layer.awaitedWorkStarted = false;
    layer.client = nullptr;
    layer.controlParent = nullptr;
    layer.statusBar = nullptr;
    layer.statusText = nullptr;
    QtMenusClear();
    layer.controls.clear();
    QtShortcutsClear();
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
    QTimer::singleShot(FirstPageWaitMilliseconds, window, StartAwaitedWork);
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

int EventPoll()
{
    Layer& layer = TheLayer();
    if (layer.events.empty()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (layer.events.empty()) return 0;
    const Event event = layer.events.front();
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
    // Enter presses the focused button, as Space does.
    button->setAutoDefault(true);
    button->setProperty(QtOwnEnterProperty, true);
    QObject::connect(button, &QPushButton::clicked, button, [id]() { QtRecordEvent(EventControl, id); });
    PlaceControl(button, id, x, y, width, height);
    return 1;
}

int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    auto* field = new QLineEdit(QtTextFromBytes(text), parent);
    field->setProperty(QtTextFieldProperty, id);
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
    if (QWidget* widget = QtControlWidget(id)) widget->setToolTip(QtTextFromBytes(text));
}

void ControlSetText(int id, const std::string& text)
{
    const Control* control = FindControl(id);
    if (!control) return;
    QWidget* widget = control->widget;
    if (control->handlers && control->handlers->setText) control->handlers->setText(widget, text);
    else if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(QtTextFromBytes(text));
    else if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(QtTextFromBytes(text));
    else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(QtTextFromBytes(text));
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(QtTextFromBytes(text));
}

std::string ControlGetText(int id)
{
    const Control* control = FindControl(id);
    if (!control) return "";
    QWidget* widget = control->widget;
    if (control->handlers && control->handlers->getText) return control->handlers->getText(widget);
    std::string text;
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = QtBytesFromText(button->text());
    else if (auto* field = qobject_cast<QLineEdit*>(widget)) text = QtBytesFromText(field->text());
    else if (auto* label = qobject_cast<QLabel*>(widget)) text = QtBytesFromText(label->text());
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) text = QtBytesFromText(group->title());
    return text.substr(0, ControlTextLimit);
}

void ControlSetState(int id, int state)
{
    const Control* control = FindControl(id);
    if (control && control->handlers && control->handlers->setState)
        control->handlers->setState(control->widget, state);
}

void ControlResize(int id, int x, int y, int width, int height)
{
    QWidget* widget = QtControlWidget(id);
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

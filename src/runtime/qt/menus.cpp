// The window's menu bar, its menus and their check marks.
#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <map>
#include <vector>

#include "runtime/qt/browsertext.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/window.h"

namespace {

struct MenuItem {
    QPointer<QAction> action;
    bool checked = false;
    bool showsShortcut = false;
};

struct Menus {
    QPointer<QMenuBar> bar;
    QMenu* current = nullptr;
    std::vector<QMenu*> enclosing;
    std::map<int, MenuItem> items;
    // The keyboard's letters taken in the bar ("") and in each menu.
    std::map<const QMenu*, std::string> mnemonics;
};

Menus& TheMenus()
{
    static Menus menus;
    return menus;
}

// An icon of the style's, asked of it when it is first drawn.
class DeferredStyleIcon : public QIconEngine {
public:
    DeferredStyleIcon(QStyle* style, QStyle::StandardPixmap which) : style(style), which(which) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredStyleIcon(style, which); }

private:
    QIcon& Icon()
    {
        if (icon.isNull()) icon = (style ? style.data() : QApplication::style())->standardIcon(which);
        return icon;
    }

    QPointer<QStyle> style;
    QStyle::StandardPixmap which;
    QIcon icon;
};

// The platform's style, except that a menu bar's overflow button gets its
// icon only when it is drawn: made at once, as the menu bar makes it, the
// icon's pictures load every image reader Qt has before the first page.
class KelpraStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredStyleIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

}  // namespace

void QtMenuStyleInstall()
{
    QApplication::setStyle(new KelpraStyle);
}

QMenuBar* QtMenuBar()
{
    return TheMenus().bar;
}

void QtMenusClear()
{
    TheMenus() = Menus();
}

int MenuBarCreate(int, intptr_t handle)
{
    Menus& menus = TheMenus();
    QMainWindow* window = QtMainWindow();
    if (!window || handle != WindowHandle()) return 0;
    if (menus.bar) {
        if (window->menuWidget() == menus.bar) window->setMenuWidget(nullptr);
        delete menus.bar;
    }
    menus.bar = new QMenuBar(window);
    menus.bar->hide();
    menus.current = nullptr;
    menus.enclosing.clear();
    menus.items.clear();
    menus.mnemonics.clear();
    return 1;
}

void MenuTitleAdd(const std::string& text)
{
    Menus& menus = TheMenus();
    QMainWindow* window = QtMainWindow();
    if (!menus.bar || !window) return;
    menus.enclosing.clear();
    menus.current = menus.bar->addMenu(QtTextFromBytes(MenuTextWithMnemonic(text, menus.mnemonics[nullptr])));
    if (window->menuWidget() != menus.bar) {
        window->setMenuBar(menus.bar);
        menus.bar->show();
    }
}

void MenuItemAdd(int id, const std::string& text)
{
    Menus& menus = TheMenus();
    if (!menus.current) return;
    QAction* action =
        menus.current->addAction(QtTextFromBytes(MenuTextWithMnemonic(text, menus.mnemonics[menus.current])));
    menus.items[id] = MenuItem{action, false, false};
    if (int key = QtShortcutOf(id)) QtMenuShowShortcut(id, key);
    QObject::connect(action, &QAction::triggered, action, [id, action]() {
        // Qt turns a checkable item's mark over on its own; here only the
        // program sets it.
        auto found = TheMenus().items.find(id);
        if (found != TheMenus().items.end() && found->second.action == action && action->isCheckable())
            action->setChecked(found->second.checked);
        QtRecordEvent(EventMenu, id);
    });
}

void QtMenuShowShortcut(int id, int key)
{
    auto found = TheMenus().items.find(id);
    if (found == TheMenus().items.end() || !found->second.action || found->second.showsShortcut) return;
    found->second.showsShortcut = true;
    // A menu shows what follows a tab as the entry's key, and takes it for
    // nothing more: the keys stay the layer's own.
    QAction* action = found->second.action;
    action->setText(action->text() + '\t' + QtTextFromBytes(ShortcutKeyText(key)));
}

void MenuSeparatorAdd()
{
    if (TheMenus().current) TheMenus().current->addSeparator();
}

void MenuSubmenuOpen(const std::string& text)
{
    Menus& menus = TheMenus();
    if (!menus.current) return;
    menus.enclosing.push_back(menus.current);
    const std::string marked = MenuTextWithMnemonic(text, menus.mnemonics[menus.current]);
    menus.current = menus.current->addMenu(QtTextFromBytes(marked));
}

void MenuSubmenuClose()
{
    Menus& menus = TheMenus();
    if (menus.enclosing.empty()) return;
    menus.current = menus.enclosing.back();
    menus.enclosing.pop_back();
}

int MenuCheckGet(int, int id)
{
    auto found = TheMenus().items.find(id);
    if (found == TheMenus().items.end() || !found->second.action) return 0;
    return found->second.checked && found->second.action->isEnabled() ? 1 : 0;
}

void MenuCheckSet(int, int id, int state)
{
    auto found = TheMenus().items.find(id);
    if (found == TheMenus().items.end() || !found->second.action) return;
    QAction* action = found->second.action;
    found->second.checked = state != 0;
    action->setEnabled(true);
    action->setCheckable(true);
    action->setChecked(state != 0);
}

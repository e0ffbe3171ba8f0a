#include "toolkit/menus.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QWidgetAction>

namespace {

// Qt reads a single '&' in an action's text as the mark of a mnemonic and shows "&&" as '&'.
QString shownAsWritten(const QString &label)
{
    return QString(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}

const char titleProperty[] = "tslMenuTitle";
const char menuValueProperty[] = "tslMenuValue";
const char doneProcProperty[] = "tslMenuDoneProc";

// Pops a menu up for the widget it is a child of.
class PopupLink : public QObject {
public:
    PopupLink(QWidget *widget, QMenu *menu) : QObject(widget), widget_(widget), menu_(menu)
    {
        setObjectName(QStringLiteral("tslPopupLink"));
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this, [this](const QPoint &where) {
            if (menu_)
                menu_->popup(widget_->mapToGlobal(where));
        });
    }
    void setMenu(QMenu *menu) { menu_ = menu; }

private:
    QWidget *widget_;
    QPointer<QMenu> menu_;
};

} // namespace

QMenu *menuCreate(const QString &title, bool showTitle, QWidget *parent)
{
    auto *menu = new QMenu(title, parent);
    if (showTitle) {
        auto *line = new QWidgetAction(menu);
        auto *label = new QLabel(title);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setAlignment(Qt::AlignCenter);
        label->setContentsMargins(8, 4, 8, 4);
        line->setDefaultWidget(label);
        line->setProperty(titleProperty, true);
        menu->addAction(line);
        menu->addSeparator()->setProperty(titleProperty, true);
    }
    return menu;
}

QAction *menuAddItem(QMenu *menu, const QString &label, MenuNotifyProc proc, int value)
{
    QAction *item = menu->addAction(shownAsWritten(label));
    item->setData(value);
    if (proc)
        QObject::connect(item, &QAction::triggered, menu, [menu, item, proc] { proc(menu, item); });
    return item;
}

QAction *menuAddSubmenu(QMenu *menu, const QString &label, QMenu *submenu)
{
    submenu->setParent(menu, submenu->windowFlags());
    submenu->setTitle(shownAsWritten(label));
    return menu->addMenu(submenu);
}

void menuSetItemLabel(QAction *item, const QString &label)
{
    if (item)
        item->setText(shownAsWritten(label));
}

QString menuItemLabel(const QAction *item)
{
    return item ? QString(item->text()).replace(QLatin1String("&&"), QLatin1String("&")) : QString();
}

QAction *menuFindItem(const QMenu *menu, const QStringList &path)
{
    QAction *found = nullptr;
    for (const QString &label : path) {
        if (!menu)
            return nullptr;
        found = nullptr;
        for (QAction *item : menuItems(menu))
            if (menuItemLabel(item) == label) {
                found = item;
                break;
            }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

int menuItemValue(const QAction *item)
{
    return item ? item->data().toInt() : 0;
}

void menuSetItemValue(QAction *item, int value)
{
    item->setData(value);
}

void menuSetValue(QMenu *menu, int value)
{
    menu->setProperty(menuValueProperty, value);
}

int menuValue(const QMenu *menu)
{
    return menu->property(menuValueProperty).toInt();
}

void menuSetDoneProc(QMenu *menu, MenuDoneProc proc)
{
    bool connected = menu->property(doneProcProperty).isValid();
    menu->setProperty(doneProcProperty, QVariant::fromValue(reinterpret_cast<quintptr>(proc)));
    if (connected)
        return;
    QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
        auto done = reinterpret_cast<MenuDoneProc>(menu->property(doneProcProperty).value<quintptr>());
        if (done)
            done(menu);
    });
}

QList<QAction *> menuItems(const QMenu *menu)
{
    QList<QAction *> items;
    for (QAction *action : menu->actions())
        if (!action->isSeparator() && !action->property(titleProperty).isValid())
            items.append(action);
    return items;
}

void menuAttachPopup(QWidget *widget, QMenu *menu)
{
    auto *link = static_cast<PopupLink *>(
        widget->findChild<QObject *>(QStringLiteral("tslPopupLink"), Qt::FindDirectChildrenOnly));
    if (link)
        link->setMenu(menu);
    else if (menu)
        new PopupLink(widget, menu);
}

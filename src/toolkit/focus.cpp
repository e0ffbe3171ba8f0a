#include "toolkit/focus.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QWidget>

namespace {

// Watches a panel for buttons added to it.
class FocusKeeper : public QObject {
public:
    explicit FocusKeeper(QWidget *panel) : QObject(panel)
    {
        setObjectName(QStringLiteral("tslFocusKeeper"));
        panel->installEventFilter(this);
    }

    static void keepOff(QWidget *widget)
    {
        for (QAbstractButton *button : widget->findChildren<QAbstractButton *>())
            button->setFocusPolicy(Qt::NoFocus);
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setFocusPolicy(Qt::NoFocus);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished)
            if (QObject *child = static_cast<QChildEvent *>(event)->child(); child->isWidgetType())
                keepOff(static_cast<QWidget *>(child));
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void focus_give_to(QWidget *pane)
{
    if (!pane)
        return;
    QWidget *window = pane->window();
    if (window->isVisible() && !window->isActiveWindow())
        window->activateWindow();
    pane->setFocus(Qt::OtherFocusReason);
}

bool focus_is_within(const QWidget *widget)
{
    if (!widget)
        return false;
    const QWidget *focus = widget->window()->focusWidget();
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

void panel_keep_focus_off(QWidget *panel)
{
    if (!panel)
        return;
    FocusKeeper::keepOff(panel);
    if (!panel->findChild<QObject *>(QStringLiteral("tslFocusKeeper"), Qt::FindDirectChildrenOnly))
        new FocusKeeper(panel);
}

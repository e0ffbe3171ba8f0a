#include "toolkit/shortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

#include <set>

namespace {

std::set<int> &boundKeys()
{
    static std::set<int> keys;
    return keys;
}

void remember(const QKeySequence &keys)
{
    // Only single-key sequences are used: the first key is the whole of it.
    if (!keys.isEmpty())
        boundKeys().insert(keys[0]);
}

int keyOf(const QKeyEvent *event)
{
    return event->key() | static_cast<int>(event->modifiers() & ~Qt::KeypadModifier);
}

} // namespace

void shortcut_bind_item(QWidget *window, QAction *item, const QKeySequence &keys)
{
    if (!window || !item)
        return;
    item->setShortcut(keys);
    item->setShortcutContext(Qt::WindowShortcut);
    window->addAction(item);
    remember(keys);
}

void shortcut_show_on_item(QAction *item, const QKeySequence &keys)
{
    if (!item)
        return;
    item->setShortcut(keys);
    item->setShortcutContext(Qt::WidgetShortcut);
    remember(keys);
}

QAction *shortcut_bind(QWidget *window, const QKeySequence &keys, std::function<void()> command)
{
    if (!window)
        return nullptr;
    auto *action = new QAction(window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, [command] {
        if (command)
            command();
    });
    window->addAction(action);
    remember(keys);
    return action;
}

bool shortcut_is_bound(const QKeyEvent *event)
{
    return event && boundKeys().count(keyOf(event)) > 0;
}

bool shortcut_is_function_key(const QKeyEvent *event)
{
    return event && event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35;
}

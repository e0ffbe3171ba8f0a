#include "texttools/prompt.h"

#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "texttools/texttoolstate.h"
#include "toolkit/focus.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QBoxLayout>
#include <QPointer>

namespace {

constexpr int promptY = 8;
constexpr int promptGap = 10;

QPointer<QWidget> promptPane;

// The pane a tool prompting in `panel` acts on.
QWidget *paneOfPanel(QWidget *panel)
{
    if (panel == menuBar)
        return textPane;
    for (ProjectWindow *window : projectWindowTable)
        if (window && window->buttonBar == panel)
            return window->pane;
    return nullptr;
}

// Puts the prompt after the panel's existing items.
void placeInPanel(QWidget *panel, PanelTextField *prompt)
{
    if (panel == menuBar) {
        addToMenuBar(prompt);
        return;
    }
    prompt->setParent(panel);
    if (auto *row = qobject_cast<QBoxLayout *>(panel->layout())) {
        row->addWidget(prompt);
    } else {
        int x = promptGap;
        for (QWidget *item : panel->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (item != prompt && item->isVisibleTo(panel))
                x = std::max(x, item->geometry().right() + 1 + promptGap);
        prompt->move(x, promptY);
    }
    prompt->show();
}

} // namespace

PanelTextField *openToolPrompt(QWidget *panel, const char *label, int visibleCharacters, int value,
                               PromptReturnProc onReturn)
{
    closeToolPrompt();
    if (!panel)
        return nullptr;
    promptPane = paneOfPanel(panel);
    auto *prompt = new PanelTextField(QString::fromLatin1(label), visibleCharacters, promptHeldCharacters);
    prompt->setObjectName("ToolPrompt");
    prompt->setClientValue(value);
    prompt->setNotifyProc([onReturn](PanelTextField *field) {
        if (field == toolPrompt)
            onReturn(field);
    });
    // Escape closes the prompt without acting; the keyboard goes back to the tool's pane.
    prompt->setEscapeProc([](PanelTextField *field) {
        if (field == toolPrompt)
            closeToolPrompt();
    });
    placeInPanel(panel, prompt);
    // A prompt belongs to its panel: when a project window goes, its prompt goes with it.
    QObject::connect(prompt, &QObject::destroyed, [prompt] {
        if (toolPrompt == prompt)
            toolPrompt = nullptr;
    });
    toolPrompt = prompt;
    prompt->takeFocus();
    return prompt;
}

void closeToolPrompt()
{
    PanelTextField *prompt = toolPrompt;
    if (!prompt)
        return;
    toolPrompt = nullptr;
    const bool hadFocus = focus_is_within(prompt);
    QWidget *pane = promptPane;
    promptPane = nullptr;
    // The prompt may be closing from inside its own Return handler.
    prompt->hide();
    prompt->deleteLater();
    if (hadFocus && pane)
        focus_give_to(pane);
}

void returnToToolPrompt()
{
    if (!toolPrompt)
        return;
    QWidget *window = toolPrompt->window();
    if (window->isVisible() && !window->isActiveWindow())
        window->activateWindow();
    toolPrompt->takeFocus();
}

QWidget *toolPromptPane()
{
    return toolPrompt ? promptPane.data() : nullptr;
}

bool closeOpenToolPrompt()
{
    if (!toolPrompt)
        return false;
    closeToolPrompt();
    return true;
}

std::string promptBytes(const PanelTextField *prompt, TextPane *pane)
{
    if (!prompt)
        return std::string();
    const QString text = prompt->value();
    return (pane && !textsw_is_utf8(pane) ? text.toLatin1() : text.toUtf8()).toStdString();
}

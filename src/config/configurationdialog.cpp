#include "config/configurationdialog.h"

#include "frame/mainframe.h"
#include "toolkit/panel.h"

#include <QCloseEvent>
#include <QVBoxLayout>

ConfigurationDialog configurationDialog;

namespace {

constexpr int dialogTopOffset = 13;

// A dialog frame: closing it through the window manager is its cancel.
class DialogFrame : public QWidget {
public:
    explicit DialogFrame(QWidget *owner) : QWidget(owner, Qt::Dialog) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (configurationDialog.frame == this)
            closeConfigurationDialog();
        else
            hide();
    }
};

void emptySlot()
{
    configurationDialog.frame = nullptr;
    configurationDialog.panel = nullptr;
    configurationDialog.open = false;
}

} // namespace

Panel *createConfigurationDialog(const char *title)
{
    auto *frame = new DialogFrame(mainFrame);
    frame->setObjectName("ConfigurationDialog");
    frame->setWindowTitle(QString::fromLatin1(title));
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize); // the frame always fits its panel
    auto *panel = new Panel(frame);
    layout->addWidget(panel);
    if (mainFrame) {
        const int halfPanel = buttonPanel ? buttonPanel->width() / 2 : 0;
        frame->move(mainFrame->pos() + QPoint(halfPanel, dialogTopOffset));
    }
    // The main frame takes its dialogs with it when it goes; the slot must not keep them.
    QObject::connect(frame, &QObject::destroyed, [frame] {
        if (configurationDialog.frame == frame)
            emptySlot();
    });
    configurationDialog.frame = frame;
    configurationDialog.panel = panel;
    return panel;
}

void showConfigurationDialog()
{
    if (!configurationDialog.frame)
        return;
    configurationDialog.panel->fit();
    configurationDialog.frame->show();
    configurationDialog.frame->raise();
    configurationDialog.frame->activateWindow();
    configurationDialog.open = true;
}

void closeConfigurationDialog()
{
    QWidget *frame = configurationDialog.frame;
    emptySlot();
    if (!frame)
        return;
    // A button of the dialog may be the caller: the frame goes once the event is over.
    frame->hide();
    frame->deleteLater();
}

#include "config/fontchooser.h"

#include "config/configurationdialog.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "toolkit/panel.h"
#include "toolkit/textpane.h"
#include "toolkit/xfonts.h"

#include <QLabel>

#include <cstdio>

FontChoice fontChoice;
const XFontFace *chosenFont;

namespace {

// The items of the open "Set font" dialog.
struct FontDialog {
    QWidget *frame = nullptr;
    PanelChoice *foundry = nullptr;
    PanelChoice *weight = nullptr;
    PanelChoice *size = nullptr;
    PanelCheckBox *setMain = nullptr;
    PanelCheckBox *setProject = nullptr;
    QLabel *preview = nullptr;
};
FontDialog fontDialog;

bool fontDialogOpen()
{
    return configurationDialog.open && configurationDialog.frame && configurationDialog.frame == fontDialog.frame;
}

QStringList settings(const char *const *labels, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromLatin1(labels[i]);
    return list;
}

PanelChoice *addFontChoice(Panel *panel, const char *label, const char *const *labels, int count, int chosen)
{
    PanelChoice *choice = panel->addChoice(QString::fromLatin1(label), settings(labels, count), chosen);
    choice->setNotifyProc([](PanelChoice *) { showComposedFont(); });
    return choice;
}

void giveFontToProjectWindows()
{
    if (!projectFont)
        return;
    for (ProjectWindow *window : projectWindowTable)
        if (window && window->pane)
            textsw_set_font(window->pane, projectFont->font);
}

} // namespace

void chooseFont()
{
    if (configurationDialog.open)
        return;
    Panel *panel = createConfigurationDialog("Set font");
    QWidget *frame = configurationDialog.frame;
    fontDialog = FontDialog();
    fontDialog.frame = frame;
    QObject::connect(frame, &QObject::destroyed, [frame] {
        if (fontDialog.frame == frame)
            fontDialog = FontDialog();
    });

    panel->addMessage("");
    panel->addMessage("         MONOSPACE FONTS ");
    panel->addMessage("");
    fontDialog.foundry = addFontChoice(panel, "Foundry: ", foundryLabels, foundryCount, fontChoice.foundry);
    fontDialog.weight = addFontChoice(panel, "Weight:   ", weightLabels, weightCount, fontChoice.weight);
    fontDialog.size = addFontChoice(panel, "Size:        ", sizeLabels, sizeCount, fontChoice.size);
    fontDialog.setMain = panel->addCheckBox("SET MAIN WINDOW FONT ->", fontChoice.setMain);
    fontDialog.setProject = panel->addCheckBox("SET PROJECT WINDOW FONT ->", fontChoice.setProject);
    panel->addMessage("");
    fontDialog.preview = panel->addMessage("");
    fontDialog.preview->setObjectName("FontPreview");
    panel->alignLabels(Qt::AlignLeft, {fontDialog.foundry, fontDialog.weight, fontDialog.size});
    panel->alignLabels(Qt::AlignRight, {fontDialog.setMain, fontDialog.setProject});

    // The dialog counts as open from here on: the preview is drawn through the open dialog.
    configurationDialog.open = true;
    showComposedFont();

    panel->addMessage("");
    panel->addMessage("");
    panel->setSideBySide(true);
    panel->addButton("    OK    ", applyFont);
    panel->addMessage("   ");
    panel->addButton("  cancel  ", closeConfigurationDialog);
    showConfigurationDialog();
}

void showComposedFont()
{
    if (!fontDialogOpen())
        return;
    fontChoice.foundry = fontDialog.foundry->value();
    fontChoice.weight = fontDialog.weight->value();
    fontChoice.size = fontDialog.size->value();
    const std::string name = composeFontName(fontChoice);
    chosenFont = xv_find_font(name.c_str());
    QLabel *preview = fontDialog.preview;
    if (chosenFont) {
        preview->setFont(chosenFont->font);
        preview->setText(QString::fromLatin1(name.c_str()));
    } else {
        preview->setFont(QFont());
        preview->setText("Font not available");
    }
    preview->setMinimumHeight(preview->fontMetrics().height());
    configurationDialog.panel->fit();
}

void applyFont()
{
    if (!fontDialogOpen())
        return;
    fontChoice.setMain = fontDialog.setMain->isChecked();
    fontChoice.setProject = fontDialog.setProject->isChecked();
    if (!chosenFont) {
        fputs("Font not found.\n", stdout);
        fflush(stdout);
    } else if (fontChoice.setMain) {
        textsw_set_font(textPane, chosenFont->font);
    }
    if (fontChoice.setProject) {
        projectFont = chosenFont;
        giveFontToProjectWindows();
    }
    closeConfigurationDialog();
}

#include "help/help.h"

#include "compiler/expandcommand.h"
#include "config/configuration.h"
#include "config/dialogfields.h"
#include "frame/artwork.h"
#include "frame/framesize.h"
#include "frame/mainframe.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>

QWidget *helpWindow;
const char *const homePageUrl = "https://tsl.example.org/";

namespace {

constexpr int homePageCommandCapacity = 256;

// A help window: closing it through the window manager is its close button.
class HelpFrame : public QWidget {
public:
    HelpFrame() : QWidget(nullptr, Qt::Window) { setObjectName("HelpWindow"); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (helpWindow == this)
            closeHelpWindow();
        else
            hide();
    }
};

QPlainTextEdit *textField;

void onClose(ImageButton *)
{
    closeHelpWindow();
}

// A text field showing `rows` rows of `columns` characters of `text`.
QPlainTextEdit *helpTextFieldFor(const char *text, int columns, int rows, QWidget *parent)
{
    auto *field = new QPlainTextEdit(parent);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field->setReadOnly(true);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    field->setPlainText(fieldText(text));
    const QFontMetrics metrics(field->font());
    const int frame = 2 * field->frameWidth() + 2 * static_cast<int>(field->document()->documentMargin());
    const int scrollBar = field->verticalScrollBar()->sizeHint().width();
    const FrameSize screen = largestFrameSize();
    field->setFixedSize(std::min(columns * metrics.horizontalAdvance(QLatin1Char('n')) + frame + scrollBar,
                                 screen.width - 60),
                        std::min(rows * metrics.lineSpacing() + frame, screen.height - 60));
    return field;
}

} // namespace

QPlainTextEdit *helpTextField()
{
    return helpWindow ? textField : nullptr;
}

void showProductNotice()
{
    notice_prompt(mainFrame,
                  {"      --------------------------      ", "Vantrel", "Tessa-Lumbrel", "Version 3.0",
                   "-------------------------", "", "See Help, About for more info", ""},
                  {noticeEscape(noticeYes("   Ok   "))});
}

void showHelpText(HelpText which)
{
    if (helpWindow || which < aboutHelp || which > summaryHelp)
        return;
    struct Kind {
        const char *title;
        const char *text;
    };
    const Kind kinds[] = {{"Help: About this Lumbrel", helpTexts.aboutText},
                          {"Help: Quick Introduction", helpTexts.introductionText},
                          {"Help: Summary", helpTexts.summaryText}};
    const Kind &kind = kinds[which];

    auto *frame = new HelpFrame;
    frame->setWindowTitle(QString::fromLatin1(kind.title));
    auto *row = new QHBoxLayout(frame);
    row->setSizeConstraint(QLayout::SetFixedSize);
    // A damaged or huge setting gives neither a field of no size nor one beyond the screen.
    const FrameSize characters = usableCharacterSize(generalSettings.helpTextColumns, generalSettings.helpTextRows,
                                                     {defaultHelpTextColumns, defaultHelpTextRows});
    textField = helpTextFieldFor(kind.text, characters.width, characters.height, frame);
    row->addWidget(textField);
    auto *close = new ImageButton(closeResultsImage, onClose, 0, frame);
    close->setObjectName("HelpCloseButton");
    row->addWidget(close, 0, Qt::AlignTop);
    helpWindow = frame;
    frame->show();
}

void closeHelpWindow()
{
    QWidget *frame = helpWindow;
    helpWindow = nullptr;
    textField = nullptr;
    if (!frame)
        return;
    // The close button is the caller: the window goes once the event is over.
    frame->hide();
    frame->deleteLater();
}

void openHomePage()
{
    char command[homePageCommandCapacity];
    snprintf(command, sizeof command, "netscape -remote 'openURL(%s)'", homePageUrl);
    expandCommand(command);
}

#include "toolkit/textfield.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

PanelTextField::PanelTextField(const QString &label, int visibleCharacters, int maxCharacters, QWidget *parent)
    : QWidget(parent), label_(new QLabel(label, this)), edit_(new QLineEdit(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(label_);
    row->addWidget(edit_);
    edit_->setMaxLength(maxCharacters);
    const int frame = 2 * edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 6;
    edit_->setFixedWidth(visibleCharacters * edit_->fontMetrics().horizontalAdvance(QLatin1Char('n')) + frame);
    connect(edit_, &QLineEdit::returnPressed, this, &PanelTextField::pressReturn);
    edit_->installEventFilter(this);
    adjustSize();
}

QString PanelTextField::value() const
{
    return edit_->text();
}

void PanelTextField::setValue(const QString &text)
{
    edit_->setText(text);
}

void PanelTextField::takeFocus()
{
    edit_->setFocus(Qt::OtherFocusReason);
}

void PanelTextField::pressReturn()
{
    if (notifyProc_) {
        const NotifyProc proc = notifyProc_; // the procedure may replace itself
        proc(this);
    }
}

bool PanelTextField::eventFilter(QObject *watched, QEvent *event)
{
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (watched == edit_ && keyEvent && escapeProc_) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            // A field that closes on Escape keeps the key from the window's shortcuts.
            if (event->type() == QEvent::ShortcutOverride) {
                key->accept();
                return true;
            }
            const NotifyProc proc = escapeProc_;
            proc(this);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

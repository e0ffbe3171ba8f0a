#include "toolkit/panel.h"

#include "toolkit/textfield.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    // An empty message still takes a row, as a line of text does.
    label->setMinimumHeight(label->fontMetrics().height());
    return label;
}

// A label and its value, spaced as a text field's are, so that all values line up.
QHBoxLayout *itemRow(QWidget *item)
{
    auto *row = new QHBoxLayout(item);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    return row;
}

template <typename Item>
Item *findLabelled(const QList<QWidget *> &items, const QString &label)
{
    for (QWidget *widget : items)
        if (auto *item = qobject_cast<Item *>(widget); item && item->label()->text() == label)
            return item;
    return nullptr;
}

} // namespace

PanelCheckBox::PanelCheckBox(const QString &label, bool checked, QWidget *parent)
    : QWidget(parent), label_(plainLabel(label, this)), box_(new QCheckBox(this))
{
    QHBoxLayout *row = itemRow(this);
    row->addWidget(label_);
    row->addWidget(box_);
    row->addStretch();
    box_->setChecked(checked);
}

bool PanelCheckBox::isChecked() const
{
    return box_->isChecked();
}

void PanelCheckBox::setChecked(bool checked)
{
    box_->setChecked(checked);
}

PanelChoice::PanelChoice(const QString &label, const QStringList &settings, int chosen, QWidget *parent)
    : QWidget(parent), label_(plainLabel(label, this)), group_(new QButtonGroup(this))
{
    QHBoxLayout *row = itemRow(this);
    row->addWidget(label_);
    row->setSpacing(0);
    group_->setExclusive(true);
    for (int i = 0; i < settings.size(); ++i) {
        auto *button = new QPushButton(settings.at(i), this);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        group_->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch();
    setValue(chosen);
    connect(group_, &QButtonGroup::idClicked, this, [this] {
        if (notifyProc_) {
            const NotifyProc proc = notifyProc_;
            proc(this);
        }
    });
}

int PanelChoice::value() const
{
    return group_->checkedId();
}

void PanelChoice::setValue(int index)
{
    if (QAbstractButton *button = group_->button(index))
        button->setChecked(true);
}

void PanelChoice::choose(int index)
{
    if (QAbstractButton *button = group_->button(index))
        button->click();
}

QAbstractButton *PanelChoice::settingButton(int index) const
{
    return group_->button(index);
}

Panel::Panel(QWidget *parent) : QWidget(parent), rows_(new QVBoxLayout(this))
{
    rows_->setContentsMargins(12, 4, 12, 10);
    rows_->setSpacing(4);
}

void Panel::add(QWidget *item)
{
    items_.append(item);
    if (sideBySideRow_)
        sideBySideRow_->insertWidget(sideBySideRow_->count() - 1, item); // before the closing stretch
    else
        rows_->addWidget(item);
    item->show();
}

QLabel *Panel::addMessage(const QString &text)
{
    QLabel *message = plainLabel(text, this);
    add(message);
    return message;
}

PanelTextField *Panel::addTextField(const QString &label, int visibleCharacters, int maxCharacters)
{
    auto *field = new PanelTextField(label, visibleCharacters, maxCharacters, this);
    field->label()->setTextFormat(Qt::PlainText);
    add(field);
    return field;
}

PanelCheckBox *Panel::addCheckBox(const QString &label, bool checked)
{
    auto *box = new PanelCheckBox(label, checked, this);
    add(box);
    return box;
}

PanelChoice *Panel::addChoice(const QString &label, const QStringList &settings, int chosen)
{
    auto *choice = new PanelChoice(label, settings, chosen, this);
    add(choice);
    return choice;
}

QPushButton *Panel::addButton(const QString &label, std::function<void()> proc)
{
    auto *button = new QPushButton(label, this);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [proc] {
        if (proc)
            proc();
    });
    add(button);
    return button;
}

void Panel::setSideBySide(bool sideBySide)
{
    if (!sideBySide) {
        sideBySideRow_ = nullptr;
        return;
    }
    sideBySideRow_ = new QHBoxLayout;
    sideBySideRow_->setSpacing(0);
    sideBySideRow_->addStretch();
    rows_->addLayout(sideBySideRow_);
}

QList<QLabel *> Panel::rowLabels(const QList<QWidget *> &items) const
{
    QList<QLabel *> labels;
    for (QWidget *item : items) {
        if (auto *field = qobject_cast<PanelTextField *>(item))
            labels.append(field->label());
        else if (auto *box = qobject_cast<PanelCheckBox *>(item))
            labels.append(box->label());
        else if (auto *choice = qobject_cast<PanelChoice *>(item))
            labels.append(choice->label());
    }
    return labels;
}

void Panel::alignLabels(Qt::Alignment alignment, const QList<QWidget *> &only)
{
    const QList<QLabel *> labels = rowLabels(only.isEmpty() ? items_ : only);
    int widest = 0;
    for (QLabel *label : labels)
        widest = std::max(widest, label->sizeHint().width());
    for (QLabel *label : labels) {
        label->setFixedWidth(widest);
        label->setAlignment(alignment | Qt::AlignVCenter);
    }
}

void Panel::fit()
{
    adjustSize();
    if (window() != this)
        window()->adjustSize();
}

PanelTextField *Panel::textField(const QString &label) const
{
    return findLabelled<PanelTextField>(items_, label);
}

PanelCheckBox *Panel::checkBox(const QString &label) const
{
    return findLabelled<PanelCheckBox>(items_, label);
}

PanelChoice *Panel::choice(const QString &label) const
{
    return findLabelled<PanelChoice>(items_, label);
}

QPushButton *Panel::button(const QString &label) const
{
    for (QWidget *item : items_)
        if (auto *button = qobject_cast<QPushButton *>(item); button && button->text() == label)
            return button;
    return nullptr;
}

#pragma once
// Dialog panels: items laid out one per row from top to bottom, or side by side in one row once
// the panel is switched to that. Text fields, check boxes and choices show their label left of
// their value; alignLabels gives the labels of a panel one common width, so that the values line
// up in a column whatever blanks the label texts carry. Every text is shown exactly as given.

#include <QStringList>
#include <QWidget>

#include <functional>

class PanelTextField;
class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;

// A check box with its label left of the box.
class PanelCheckBox : public QWidget {
    Q_OBJECT
public:
    PanelCheckBox(const QString &label, bool checked, QWidget *parent = nullptr);
    bool isChecked() const;
    void setChecked(bool checked);
    QLabel *label() const { return label_; }
    QCheckBox *box() const { return box_; }

private:
    QLabel *label_;
    QCheckBox *box_;
};

// An exclusive choice: its label, then every setting as a button, exactly one of them chosen.
class PanelChoice : public QWidget {
    Q_OBJECT
public:
    using NotifyProc = std::function<void(PanelChoice *)>;

    PanelChoice(const QString &label, const QStringList &settings, int chosen, QWidget *parent = nullptr);
    int value() const;
    void setValue(int index); // does not notify
    // Called after the user chose a setting.
    void setNotifyProc(NotifyProc proc) { notifyProc_ = std::move(proc); }
    // Chooses a setting as the user does: sets it and notifies.
    void choose(int index);
    QLabel *label() const { return label_; }
    QAbstractButton *settingButton(int index) const;

private:
    QLabel *label_;
    QButtonGroup *group_;
    NotifyProc notifyProc_;
};

class Panel : public QWidget {
    Q_OBJECT
public:
    explicit Panel(QWidget *parent = nullptr);

    QLabel *addMessage(const QString &text);
    PanelTextField *addTextField(const QString &label, int visibleCharacters, int maxCharacters);
    PanelCheckBox *addCheckBox(const QString &label, bool checked);
    PanelChoice *addChoice(const QString &label, const QStringList &settings, int chosen);
    // A button that runs `proc` when clicked; `proc` may destroy the panel's window (with
    // deleteLater).
    QPushButton *addButton(const QString &label, std::function<void()> proc);

    // Items added afterwards go side by side into one new row (false: one per row again).
    void setSideBySide(bool sideBySide);
    // Gives the labels of the text fields, check boxes and choices added so far (or of the items
    // in `only`) the width of the widest, their text aligned by `alignment` (Qt::AlignRight lines
    // up what follows the labels when their texts end alike).
    void alignLabels(Qt::Alignment alignment, const QList<QWidget *> &only = {});
    // Fits the panel, then its window, to their contents.
    void fit();

    // The panel's items in the order they were added.
    const QList<QWidget *> &items() const { return items_; }
    // Finds the text field, check box or choice whose label reads `label` exactly; null if none.
    PanelTextField *textField(const QString &label) const;
    PanelCheckBox *checkBox(const QString &label) const;
    PanelChoice *choice(const QString &label) const;
    QPushButton *button(const QString &label) const;

private:
    void add(QWidget *item);
    QList<QLabel *> rowLabels(const QList<QWidget *> &items) const;

    QBoxLayout *rows_;
    QBoxLayout *sideBySideRow_ = nullptr;
    QList<QWidget *> items_;
};

#pragma once
// A panel's one-line text field: a label left of the value, a visible width in characters, a
// limit on the characters it holds, one integer value for its owner, and the procedures that
// Return and Escape call.

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

class PanelTextField : public QWidget {
    Q_OBJECT
public:
    using NotifyProc = std::function<void(PanelTextField *)>;

    PanelTextField(const QString &label, int visibleCharacters, int maxCharacters, QWidget *parent = nullptr);

    QString value() const;
    void setValue(const QString &text);
    int clientValue() const { return clientValue_; }
    void setClientValue(int value) { clientValue_ = value; }
    // Called when Return is pressed in the field. The procedure may close the field: closing
    // is done with deleteLater, never by deleting it at once.
    void setNotifyProc(NotifyProc proc) { notifyProc_ = std::move(proc); }
    // Called when Escape is pressed in the field; without one Escape does nothing. The same
    // rule of closing applies.
    void setEscapeProc(NotifyProc proc) { escapeProc_ = std::move(proc); }
    // Puts the keyboard focus into the field.
    void takeFocus();
    QLineEdit *lineEdit() const { return edit_; }
    QLabel *label() const { return label_; }
    // Presses Return, as the user does.
    void pressReturn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *label_;
    QLineEdit *edit_;
    int clientValue_ = 0;
    NotifyProc notifyProc_;
    NotifyProc escapeProc_;
};

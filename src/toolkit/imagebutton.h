#pragma once
// Image buttons: a one-bit XBM picture on a button that calls a plain function with the button, so
// the function can read the button's integer client value.
//
// Inactive: disabled, greyed, does not respond. Busy: shown pressed and not responding, with a busy
// cursor, but not greyed, so the two states look different. The states are independent.

#include <QPixmap>
#include <QToolButton>

// A one-bit picture in the X bitmap (XBM) layout: rows of (width + 7) / 8 bytes, least significant
// bit first, a set bit drawn in the foreground colour.
struct XbmImage {
    const unsigned char *bits = nullptr;
    int width = 0;
    int height = 0;
};

// The picture as a pixmap: set bits in `foreground`, the rest transparent.
QPixmap pixmapFromXbm(const XbmImage &image, const QColor &foreground = Qt::black);

class ImageButton;
using ButtonNotifyProc = void (*)(ImageButton *button);

class ImageButton : public QToolButton {
    Q_OBJECT
public:
    ImageButton(const XbmImage &image, ButtonNotifyProc proc, int clientValue = 0, QWidget *parent = nullptr);

    int clientValue() const { return clientValue_; }
    void setClientValue(int value) { clientValue_ = value; }

    void setInactive(bool inactive) { setEnabled(!inactive); }
    bool isInactive() const { return !isEnabled(); }

    void setBusy(bool busy);
    bool isBusy() const { return busy_; }

    // What a click does: runs the notify function unless the button is inactive or busy.
    // Returns whether it ran.
    bool press();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    ButtonNotifyProc proc_;
    int clientValue_;
    bool busy_ = false;
};

#include "toolkit/imagebutton.h"

#include <QImage>
#include <QMouseEvent>

QPixmap pixmapFromXbm(const XbmImage &image, const QColor &foreground)
{
    if (!image.bits || image.width <= 0 || image.height <= 0)
        return QPixmap();
    int bytesPerLine = (image.width + 7) / 8;
    QImage bitmap(image.bits, image.width, image.height, bytesPerLine, QImage::Format_MonoLSB);
    bitmap.setColorTable({qRgba(0, 0, 0, 0), foreground.rgba()});
    // The copy detaches the image from the caller's bits.
    return QPixmap::fromImage(bitmap.copy());
}

ImageButton::ImageButton(const XbmImage &image, ButtonNotifyProc proc, int clientValue, QWidget *parent)
    : QToolButton(parent), proc_(proc), clientValue_(clientValue)
{
    setIcon(QIcon(pixmapFromXbm(image)));
    setIconSize(QSize(image.width, image.height));
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { press(); });
}

void ImageButton::setBusy(bool busy)
{
    busy_ = busy;
    setDown(busy);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

bool ImageButton::press()
{
    if (!isEnabled() || busy_ || !proc_)
        return false;
    proc_(this);
    return true;
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    if (busy_) {
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (busy_) {
        event->accept();
        return;
    }
    QToolButton::mouseReleaseEvent(event);
}

void ImageButton::mouseMoveEvent(QMouseEvent *event)
{
    if (busy_) {
        event->accept();
        return;
    }
    QToolButton::mouseMoveEvent(event);
}

void ImageButton::keyPressEvent(QKeyEvent *event)
{
    if (busy_)
        return;
    QToolButton::keyPressEvent(event);
}

void ImageButton::keyReleaseEvent(QKeyEvent *event)
{
    if (busy_)
        return;
    QToolButton::keyReleaseEvent(event);
}

void ImageButton::changeEvent(QEvent *event)
{
    QToolButton::changeEvent(event);
    // Disabling a button releases it; a busy button stays shown pressed.
    if (event->type() == QEvent::EnabledChange && busy_ && !isDown())
        setDown(true);
}

#include "toolkit/textmarks.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int marksMargin = 1;
constexpr int underlineIndicator = 9;
constexpr int marksMask = 1 << TEXTSW_MARK_ERROR | 1 << TEXTSW_MARK_WARNING;

QImage markImage(int mark, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    if (mark == TEXTSW_MARK_ERROR) {
        painter.setPen(QPen(QColor(0x8B, 0x10, 0x10), 1));
        painter.setBrush(QColor(0xD0, 0x20, 0x20));
        painter.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
        painter.setPen(QPen(Qt::white, std::max(1.5, s / 8)));
        painter.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
        painter.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
    } else {
        QPainterPath triangle;
        triangle.moveTo(s / 2, 0.5);
        triangle.lineTo(s - 0.5, s - 0.5);
        triangle.lineTo(0.5, s - 0.5);
        triangle.closeSubpath();
        painter.setPen(QPen(QColor(0x80, 0x60, 0x00), 1));
        painter.setBrush(QColor(0xF0, 0xB0, 0x10));
        painter.drawPath(triangle);
        painter.setPen(QPen(Qt::black, std::max(1.5, s / 9)));
        painter.drawLine(QPointF(s / 2, s * 0.35), QPointF(s / 2, s * 0.65));
        painter.drawPoint(QPointF(s / 2, s * 0.8));
    }
    return image;
}

} // namespace

void textsw_show_mark_margin(TextPane *pane)
{
    if (!pane)
        return;
    const long lineHeight = pane->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
    const int size = static_cast<int>(std::clamp(lineHeight - 2, 8L, 14L));
    pane->SendScintilla(QsciScintillaBase::SCI_SETMARGINTYPEN, marksMargin, QsciScintillaBase::SC_MARGIN_SYMBOL);
    pane->SendScintilla(QsciScintillaBase::SCI_SETMARGINMASKN, marksMargin, static_cast<long>(marksMask));
    pane->SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, marksMargin, static_cast<long>(size + 4));
    for (int mark : {TEXTSW_MARK_ERROR, TEXTSW_MARK_WARNING})
        pane->markerDefine(markImage(mark, size), mark);

    pane->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, underlineIndicator, QsciScintillaBase::INDIC_SQUIGGLEPIXMAP);
    pane->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, underlineIndicator, 0L);
}

long textsw_add_mark(TextPane *pane, long line, int mark)
{
    if (!pane || line < 0 || line >= pane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT))
        return -1;
    return pane->SendScintilla(QsciScintillaBase::SCI_MARKERADD, static_cast<unsigned long>(line), static_cast<long>(mark));
}

long textsw_mark_line(TextPane *pane, long handle)
{
    return pane ? pane->SendScintilla(QsciScintillaBase::SCI_MARKERLINEFROMHANDLE, static_cast<unsigned long>(handle)) : -1;
}

int textsw_marks_on(TextPane *pane, long line)
{
    return pane ? static_cast<int>(pane->SendScintilla(QsciScintillaBase::SCI_MARKERGET, static_cast<unsigned long>(line))) : 0;
}

void textsw_remove_marks(TextPane *pane)
{
    if (!pane)
        return;
    for (int mark : {TEXTSW_MARK_ERROR, TEXTSW_MARK_WARNING})
        pane->SendScintilla(QsciScintillaBase::SCI_MARKERDELETEALL, static_cast<unsigned long>(mark));
}

void textsw_set_underline(TextPane *pane, Textsw_index first, Textsw_index last_plus_one, const QColor &colour)
{
    if (!pane)
        return;
    const long length = textsw_length(pane);
    pane->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, underlineIndicator);
    pane->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
    first = std::clamp(first, 0L, length);
    last_plus_one = std::clamp(last_plus_one, first, length);
    if (last_plus_one > first) {
        pane->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, underlineIndicator, colour);
        pane->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(first),
                            last_plus_one - first);
    }
}

int textsw_get_underline(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one)
{
    long start = 0, end = 0;
    const bool underlined = pane && pane->indicatorRange(underlineIndicator, &start, &end);
    if (first)
        *first = start;
    if (last_plus_one)
        *last_plus_one = end;
    return underlined ? 1 : 0;
}

void textsw_set_margin_tip_proc(TextPane *pane, TextswMarginTipProc proc)
{
    if (pane)
        pane->setMarginTipProc(std::move(proc));
}

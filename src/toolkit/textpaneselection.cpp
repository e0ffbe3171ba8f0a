// The primary selection (which claims the X PRIMARY) and the secondary one (an indicator).
#include "toolkit/textpane.h"

#include <algorithm>

void TextPane::setPrimarySelection(long first, long lastPlusOne)
{
    if (first == lastPlusOne)
        SendScintilla(SCI_SETEMPTYSELECTION, SendScintilla(SCI_GETCURRENTPOS));
    else
        SendScintilla(SCI_SETSELECTION, static_cast<unsigned long>(lastPlusOne), first);
    SendScintilla(SCI_CHOOSECARETX);
    claimIfSelected();
}

void TextPane::claimIfSelected()
{
    if (SendScintilla(SCI_GETSELECTIONEND) > SendScintilla(SCI_GETSELECTIONSTART))
        selection_claim_primary(this);
}

std::string TextPane::selectedBytes()
{
    const long first = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    return end > first ? std::string(rangePointer(first, end - first), static_cast<std::size_t>(end - first))
                       : std::string();
}

long TextPane::selectionFirst()
{
    return SendScintilla(SCI_GETSELECTIONSTART);
}

long TextPane::selectionLast()
{
    return SendScintilla(SCI_GETSELECTIONEND) - 1;
}

void TextPane::deleteSelection()
{
    textsw_erase(this, SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
}

void TextPane::setSecondarySelection(long first, long lastPlusOne)
{
    SendScintilla(SCI_SETINDICATORCURRENT, secondaryIndicator);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, textLength());
    if (lastPlusOne > first)
        SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(first),
                      lastPlusOne - first);
    secondaryAt_ = first;
}

bool TextPane::indicatorRange(int indicator, long *first, long *lastPlusOne) const
{
    const long start =
        SendScintilla(SCI_INDICATORVALUEAT, indicator, 0L) ? 0 : SendScintilla(SCI_INDICATOREND, indicator, 0L);
    const long end = start < textLength() ? SendScintilla(SCI_INDICATOREND, indicator, start) : start;
    *first = end > start ? start : 0;
    *lastPlusOne = end > start ? end : 0;
    return end > start;
}

void TextPane::secondarySelection(long *first, long *lastPlusOne) const
{
    if (!indicatorRange(secondaryIndicator, first, lastPlusOne))
        *first = *lastPlusOne = std::clamp(secondaryAt_, 0L, textLength());
}

QRect textsw_line_rect(TextPane *pane, Textsw_index position)
{
    if (!pane)
        return QRect();
    const long at = std::clamp(position, 0L, pane->textLength());
    const long line = pane->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(at));
    const int top = static_cast<int>(
        pane->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, static_cast<long>(at)));
    const int height = static_cast<int>(pane->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));
    const QWidget *view = pane->viewport();
    return QRect(0, top, view->width(), height).intersected(view->rect()).translated(view->pos());
}

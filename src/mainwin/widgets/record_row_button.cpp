#include "mainwin/widgets/record_row_button.h"

#include "mainwin/record_list_geometry.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace numora::mainwin {

using settings::SchemeElement;

QString cutToWidth(const QString &text, const QFontMetrics &metrics, int width)
{
    QString shown = text;
    while (!shown.isEmpty() && metrics.horizontalAdvance(shown) > width)
        shown.chop(1);
    return shown;
}

TFormatedButton::TFormatedButton(QWidget *parent) : QAbstractButton(parent)
{
    setToolTip(QStringLiteral("Left Click - Details; Right Click - Menu"));
    setFocusPolicy(Qt::StrongFocus);
}

void TFormatedButton::setColumns(const QList<int> &shares)
{
    shares_ = shares;
    clearTexts();
}

void TFormatedButton::setTexts(const QList<RowColumnText> &texts)
{
    texts_ = texts;
    update();
}

void TFormatedButton::clearTexts()
{
    texts_.clear();
    update();
}

QStringList TFormatedButton::columnTexts() const
{
    QStringList result;
    for (const RowColumnText &column : texts_)
        result << column.text;
    return result;
}

void TFormatedButton::setSelected(bool selected)
{
    if (selected && parentWidget()) {
        for (auto *sibling :
             parentWidget()->findChildren<TFormatedButton *>(Qt::FindDirectChildrenOnly))
            if (sibling != this && sibling->isSelected())
                sibling->setSelected(false);
    }
    selected_ = selected;
    update();
}

void TFormatedButton::applyColours(const settings::ColourScheme &scheme)
{
    scheme_ = scheme;
    update();
}

settings::ColourPair TFormatedButton::rowColours() const
{
    if (selected_)
        return {scheme_.colour(SchemeElement::SelectedRecordButtonText),
                scheme_.colour(SchemeElement::SelectedRecordButtonBackground)};
    return {scheme_.colour(SchemeElement::RecordButtonText),
            scheme_.colour(SchemeElement::RecordButtonBackground)};
}

void TFormatedButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const settings::ColourPair colours = rowColours();
    painter.fillRect(rect(), colours.background.toQColor(palette()));
    QStyleOptionButton frame;
    frame.initFrom(this);
    frame.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_FrameButtonBevel, &frame, &painter, this);

    painter.setPen(colours.text.toQColor(palette()));
    const QFontMetrics metrics = fontMetrics();
    const QList<QRect> rects = columnTextRects(size(), shares_, metrics.height(), isDown());
    for (int i = 0; i < rects.size() && i < texts_.size(); ++i) {
        const QString shown = cutToWidth(texts_[i].text, metrics, rects[i].width());
        const Qt::Alignment horizontal = texts_[i].rightAligned ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(rects[i], horizontal | Qt::AlignVCenter, shown);
    }
}

} // namespace numora::mainwin

#include "controls/formfonts.h"

#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Below this share of the designed size a caption would stop being readable.
constexpr double kSmallestShare = 0.8;
constexpr double kStep = 0.25;

// The width the control needs to show its whole text with the font it has now.
int captionWidthNeeded(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap())
            return 0;
        return label->fontMetrics().horizontalAdvance(label->text()) +
               (label->width() - label->contentsRect().width());
    }
    // An option button draws its text in the room its style leaves beside the circle.
    QStyleOptionButton option;
    option.initFrom(control);
    const QRect textRoom =
        control->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, control);
    const QString text = static_cast<const QRadioButton*>(control)->text();
    return control->fontMetrics().horizontalAdvance(text) + control->width() - textRoom.width();
}

void fitWidth(QWidget* control)
{
    QFont font = control->font();
    const double designed = font.pointSizeF();
    while (captionWidthNeeded(control) > control->width() &&
           font.pointSizeF() - kStep >= designed * kSmallestShare) {
        font.setPointSizeF(font.pointSizeF() - kStep);
        control->setFont(font);
    }
}

} // namespace

void applyDesignedPointSizes(QWidget* form)
{
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (const QVariant size = child->property("pointSizeF"); size.isValid()) {
            QFont font = child->font();
            font.setPointSizeF(size.toDouble());
            child->setFont(font);
        }
    }
}

void fitCaptionsToControls(QWidget* form)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        fitWidth(label);
    for (QRadioButton* option : form->findChildren<QRadioButton*>())
        fitWidth(option);
}

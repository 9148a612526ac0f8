// Where the parts of a scroll bar are, as the style lays them out, so tests can click them.
#pragma once

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace velmora::test {

inline QPoint PartCentre(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

}  // namespace velmora::test

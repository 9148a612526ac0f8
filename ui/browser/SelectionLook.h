// Views whose selection stays highlighted while they have no focus.
#pragma once

#include <QAbstractItemView>

namespace velmora::ui {

inline void KeepSelectionVisibleWithoutFocus(QAbstractItemView& view) {
    QPalette palette = view.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view.setPalette(palette);
}

}  // namespace velmora::ui

#include "NameOrder.h"

#include <algorithm>

namespace velmora::ui {

namespace {

// The C locale compares plain character codes, without numeric runs; the neutral English
// collation stands in for it.
QLocale CollationLocale() {
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : locale;
}

}  // namespace

TNameOrder::TNameOrder() : collator_(CollationLocale()) {
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

int TNameOrder::Compare(const QString& a, const QString& b) const {
    const int order = collator_.compare(a, b);
    return order != 0 ? order : a.compare(b);
}

void SortShellItems(std::vector<TShellItem>& items, bool foldersFirst) {
    const TNameOrder order;
    std::sort(items.begin(), items.end(), [&](const TShellItem& a, const TShellItem& b) {
        if (foldersFirst && a.isFolder != b.isFolder) {
            return a.isFolder;
        }
        return order.Compare(a.displayName, b.displayName) < 0;
    });
}

}  // namespace velmora::ui

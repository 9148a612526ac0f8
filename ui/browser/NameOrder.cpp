#include "NameOrder.h"

#include <algorithm>
#include <numeric>

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
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const TShellItem& item : items) {
        keys.push_back(order.SortKey(item.displayName));
    }
    std::vector<size_t> positions(items.size());
    std::iota(positions.begin(), positions.end(), size_t{0});
    std::sort(positions.begin(), positions.end(), [&](size_t a, size_t b) {
        if (foldersFirst && items[a].isFolder != items[b].isFolder) {
            return items[a].isFolder;
        }
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : items[a].displayName.compare(items[b].displayName) < 0;
    });
    std::vector<TShellItem> sorted;
    sorted.reserve(items.size());
    for (const size_t position : positions) {
        sorted.push_back(std::move(items[position]));
    }
    items = std::move(sorted);
}

}  // namespace velmora::ui

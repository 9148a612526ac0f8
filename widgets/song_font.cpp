#include "widgets/song_font.h"

#include <QStringList>

namespace velmora {

void InstallSongFontSubstitute() {
    if (!QFont::substitutes(kSongFamily).contains(kSongSubstitute)) {
        QFont::insertSubstitution(kSongFamily, kSongSubstitute);
    }
}

QFont SongFont(int pointSize) {
    QFont font(kSongFamily, pointSize);
    font.setStyleHint(QFont::Serif);
    return font;
}

}  // namespace velmora

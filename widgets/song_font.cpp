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
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont SongPixelFont(int pixelSize) {
    QFont font = SongFont(9);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace velmora

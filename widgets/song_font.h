// The Song face the user interface is laid out for.
#pragma once

#include <QFont>
#include <QString>

namespace velmora {

// The family name the layouts ask for.
inline const QString kSongFamily = QStringLiteral("宋体");
// The installed face that stands in for it (Debian package fonts-arphic-uming).
inline const QString kSongSubstitute = QStringLiteral("AR PL UMing CN");

// Makes every QFont asking for "宋体" resolve to the installed Song/Ming face. Call once after
// the application object exists and before any window is built.
void InstallSongFontSubstitute();

// "宋体" at the given point size, regular. Drawn without smoothing, so that the face's own
// bitmap glyphs are used at the small sizes of the user interface and the text stays crisp.
QFont SongFont(int pointSize);
// The same at a size in pixels (the 12-pixel face of the windows).
QFont SongPixelFont(int pixelSize);

}  // namespace velmora

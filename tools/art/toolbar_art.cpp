// Toolbar button pictures and the window icon.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

bool MakeToolbarPictures(const QString&, QStringList&) { return true; }

}  // namespace art

#pragma once
// The sheets and pictures the generator makes, one function per file group.

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace art {

// The sprite sheets, each of its record's size.
QImage MakeTorvaneSheet();
QImage MakePelloraSheet();
QImage MakeNubblerSheet();
QImage MakeCirrelaSheet();

// Pictures compiled into the program are written as PNG files into `dir`;
// each producer appends the names it wrote to `files` (they become the
// resources ":/pictures/NAME"). Each returns false if a file could not be written.
bool MakeToolbarPictures(const QString& dir, QStringList& files);  // buttons, icon
bool MakeClockPictures(const QString& dir, QStringList& files);    // the digit strip
bool MakeDialogPictures(const QString& dir, QStringList& files);   // window texture, glyphs, flags, splash

// The application icon at every size it ships in, each drawn for its size.
const std::vector<int>& IconSizes();  // 16 ... 256 px
QImage MakeIcon(int size);
// Writes icon-SIZE.png for every size into `dir`; false if one could not be written.
bool MakeIcons(const QString& dir);

}  // namespace art

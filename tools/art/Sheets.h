#pragma once
// The sheets and pictures the generator makes, one function per file group.

#include <QImage>
#include <QString>

namespace art {

QImage MakeTorvaneSheet();   // b1.bmp
QImage MakePelloraSheet();   // b2.bmp
QImage MakeNubblerSheet();   // b3.bmp
QImage MakeCirrelaSheet();   // b4.bmp

// Toolbar and window pictures compiled into the program, written as PNG files
// into `dir`. Returns false if a file could not be written.
bool MakeToolbarPictures(const QString& dir);

}  // namespace art

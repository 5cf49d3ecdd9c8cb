#pragma once
// Pictures compiled into the executable, by file name under ":/art/".

#include <QPixmap>

QPixmap ArtPicture(const char* fileName);

#include "app/uResources.h"

#include <QString>

QPixmap ArtPicture(const char* fileName)
{
    return QPixmap(QStringLiteral(":/art/") + QString::fromLatin1(fileName));
}

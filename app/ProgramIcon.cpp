#include "app/ProgramIcon.h"

#include <QDirIterator>

QIcon programIcon() {
    // One picture per size, each drawn on its own pixel grid at build time; the icon takes its
    // size from the picture.
    QIcon icon;
    for (QDirIterator pictures(QStringLiteral(":/ferio/icon")); pictures.hasNext();) icon.addFile(pictures.next());
    return icon;
}

#pragma once
// The program's model number and the text of its version box.
#include <QString>

namespace panel {

// The model number (型番) is the program file's name; on Linux a dot in it ("ferio-4.0") is part
// of the name, and only a trailing ".exe" would be an extension.
QString modelNameOf(const QString& programPath);
QString modelName(); // of this program

// Model, version, an empty line and the two credit lines, each ended by CR LF.
QString versionText(const QString& model, int currentYear);

} // namespace panel

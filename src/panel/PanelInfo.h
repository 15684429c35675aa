#pragma once
// The program's model number and the text of its version box.
#include <QString>

namespace panel {

// The model number (型番) is the executable's base name.
QString modelName();

// Model, version, an empty line and the two credit lines, each ended by CR LF.
QString versionText(const QString& model, int currentYear);

} // namespace panel

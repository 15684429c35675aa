#pragma once
// The settings file on disk: where it lives, reading it whole and writing it safely. Gathering
// the record from the windows and applying a loaded one belong to the program's composition root.
#include "reslib/CodedError.h"
#include "settings/SettingsRecords.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace settings {

// No settings file yet: the first start of an installation, which is not reported.
struct Missing {};

// A record is returned only when the file was read and decoded to its last block.
using Loaded = std::variant<Missing, CodedError, SettingsRecord>;
Loaded loadFile(const QString& path);

// Writes the record under a temporary name in the same folder, flushed to disk, then renamed
// over the old file, so a failure at any point leaves the old file as it was. The folder is
// created when missing (the user's configuration folder on a first start).
std::optional<CodedError> saveFile(const QString& path, const SettingsRecord& record);

// Copies a settings file that could not be used to "<path>.damaged", replacing an older copy, so
// that the next save, which writes the defaults, loses none of it. The copy's path, or empty
// when it could not be written.
QString keepDamaged(const QString& path);

// The text of the message box for a failure.
QString errorMessage(const CodedError& error);

// The folders of installed programs: the package manager's and the administrator's.
inline const QStringList SystemFolders{QStringLiteral("/usr"), QStringLiteral("/opt")};

// An installed program is one under a system folder, whatever the user's rights, or one whose
// folder cannot be written; its settings belong to the user, not beside it.
bool installed(const QString& executablePath, const QStringList& systemFolders = SystemFolders);

// `explicitPath` when given; otherwise <executable base name>.in4 in the user's configuration
// folder for an installed program, or in the executable's folder for one that is not.
QString filePath(const QString& explicitPath, const QString& executablePath, bool installedProgram);

} // namespace settings

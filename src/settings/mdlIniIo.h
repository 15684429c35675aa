#pragma once
// The settings file on disk: where it lives, reading it whole and writing it safely. Gathering
// the record from the windows and applying a loaded one belong to the program's composition root.
#include "settings/SettingsRecords.h"
#include "reslib/CodedError.h"

#include <QString>
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

// `explicitPath` when given; otherwise <executable base name>.in4 in the executable's folder, or
// in the user's configuration folder when the executable's folder cannot be written (installed).
QString filePath(const QString& explicitPath, const QString& executablePath);

} // namespace settings

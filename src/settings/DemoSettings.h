#pragma once
// The settings of the demonstration: the sample routes, broadcast tables, chimes and a ticket
// plugin configured, on the face of a real LED board.
#include "reslib/CodedError.h"
#include "settings/SettingsRecords.h"

#include <QString>
#include <optional>

namespace settings {

// The record that points at the samples in `samplesFolder`.
SettingsRecord demoSettings(const QString& samplesFolder);

// Writes that record to `file` unless a file is there already: the user's own settings are never
// replaced.
std::optional<CodedError> writeDemoSettings(const QString& file, const QString& samplesFolder);

} // namespace settings

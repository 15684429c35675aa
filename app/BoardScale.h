#pragma once
// The board's scale, kept across restarts in a small file of its own beside the settings file,
// whose layout has no room for it.
#include <QString>
#include <cstdint>

// "<folder>/<base>.board" beside the settings file "<folder>/<base>.in4".
QString boardSettingsFile(const QString& settingsFile);
// 1 for a missing file or key; other values are brought within 1 … 4.
int16_t loadBoardScale(const QString& file);
bool saveBoardScale(const QString& file, int16_t scale);

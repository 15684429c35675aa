#pragma once
// `ferio --reading TEXT` and `ferio --say TEXT`: the voice from a terminal, without a display.
// Each returns the program's exit status: 0, or 1 when MeCab or espeak-ng cannot start.
#include "sound/JapaneseSpeech.h"

#include <QString>

#include <string>

// The readings.tsv of the broadcast-data folder that the settings file names (the default
// folder when there is no settings file, or the samples as the program would read them), or an
// empty path when that folder has none.
std::string broadcastReadingsFile(const QString& settingsFile, const std::string& sampleFolder = {});

// Prints the katakana that the voice would say for the text.
int printReading(const QString& text, const std::string& readingsFile, const SpeechPaths& paths = {});

// Speaks the text with the voice settings kept beside the settings file and returns when done.
int sayAloud(const QString& text, const std::string& readingsFile, const QString& voiceFile,
             const SpeechPaths& paths = {});

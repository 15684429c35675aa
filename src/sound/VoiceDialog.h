#pragma once
// The voice-adjustment dialog: voice, speed, pitch and volume, with "試聴" to hear them.
#include <QString>

class JapaneseSpeech;
class QWidget;

// Modal over owner. OK gives the speech the new settings and writes them to settingsFile;
// キャンセル leaves both as they were. Returns true for OK.
bool showVoiceDialog(QWidget* owner, const QString& title, JapaneseSpeech& speech, const QString& settingsFile);

#pragma once
// The resource library's ticket-plugin calls. Paths and texts are CP932 bytes, as the callers
// pass them; the plugin itself is read by ticketplugin (TicketPlugin.h), once per file version.
#include "reslib/plugin/TicketPlugin.h"

#include <QByteArray>
#include <QPainter>
#include <QWidget>
#include <cstdint>

// Non-zero when `path` is a usable plugin; `info` is then filled. A file that is not a plugin
// leaves `info` as it was and gives 0.
int32_t RV4_GetPlgInfo(const QByteArray& path, PlgInfo& info);

// Writes the plugin's remarks into a QPlainTextEdit, QTextEdit or QLineEdit.
void RV4_SetPlgComment(const QByteArray& path, QWidget* textBox);

// Adds the plugin's company names to a QComboBox.
void RV4_SetCorpAddList(const QByteArray& path, QWidget* list);

// Draws the ticket on white paper into `dc`, within 0, 0 … width, height of the plugin's record.
// dateText: MM-DD-YYYY or YYYY/MM/DD; timeText: hh:mm:ss; companyIndex: a 0-based index into the
// company names, -1 for none. Draws nothing when `path` is not a usable plugin.
void RV4_DrawSeiriken(const QByteArray& path, QPainter* dc, const QByteArray& stopName, const QByteArray& dateText,
                      const QByteArray& timeText, int32_t routeNumber, int16_t ticketNumber, int16_t stopIndex,
                      int16_t companyIndex);

#include "sound/VoiceDialog.h"

#include "sound/JapaneseSpeech.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace {
const char* const SampleSentence = "毎度ご乗車ありがとうございます。次は、市役所前です。";

QSpinBox* spinBox(QDialog* dialog, const char* name, VoiceSettings::Range range, int value) {
    auto* box = new QSpinBox(dialog);
    box->setObjectName(QLatin1String(name));
    box->setRange(range.min, range.max);
    box->setValue(value);
    return box;
}
} // namespace

bool showVoiceDialog(QWidget* owner, const QString& title, JapaneseSpeech& speech, const QString& settingsFile) {
    const VoiceSettings before = speech.settings();
    QDialog dialog(owner);
    dialog.setWindowTitle(title);

    auto* voice = new QComboBox(&dialog);
    voice->setObjectName(QStringLiteral("voice"));
    for (const std::string& v : speech.voices()) voice->addItem(QString::fromStdString(v));
    voice->setCurrentText(QString::fromStdString(before.voice));
    QSpinBox* rate = spinBox(&dialog, "rate", VoiceSettings::RateRange, before.rate);
    QSpinBox* pitch = spinBox(&dialog, "pitch", VoiceSettings::PitchRange, before.pitch);
    QSpinBox* volume = spinBox(&dialog, "volume", VoiceSettings::VolumeRange, before.volume);
    const auto chosen = [&] {
        return VoiceSettings{voice->currentText().toStdString(), rate->value(), pitch->value(), volume->value()};
    };

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QPushButton* listen = buttons->addButton(QStringLiteral("試聴"), QDialogButtonBox::ActionRole);
    listen->setObjectName(QStringLiteral("listen"));
    bool listened = false;
    QObject::connect(listen, &QPushButton::clicked, &dialog, [&] {
        speech.setSettings(chosen());
        speech.speak(SampleSentence);
        listened = true;
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("声"), voice);
    form->addRow(QStringLiteral("速さ"), rate);
    form->addRow(QStringLiteral("高さ"), pitch);
    form->addRow(QStringLiteral("音量"), volume);
    form->addRow(buttons);

    const bool ok = dialog.exec() == QDialog::Accepted;
    if (listened) speech.stopSpeaking(); // the sample ends with the dialog
    speech.setSettings(ok ? chosen() : before);
    if (ok) saveVoiceSettings(settingsFile, speech.settings());
    return ok;
}

// fuzz-seeds SOURCE_DIR OUT_DIR: writes each fuzzer's seeds to OUT_DIR/<name>, made with our own
// writers (and Qt's for pictures) from the samples, and for every reader with a size limit one
// input at that limit, so that the fuzzers grow inputs that far (scripts/fuzz.sh gives each the
// size of its largest seed).
#include "LargestInputs.h"
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"
#include "reslib/Cp932.h"
#include "reslib/plugin/TicketPlugin.h"
#include "settings/SettingsCodec.h"
#include "sound/VoiceSettings.h"
#include "sound/mdlM_Tape.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

fs::path out;

void write(const std::string& name, const std::string& file, const std::string& bytes) {
    fs::create_directories(out / name);
    std::ofstream(out / name / file, std::ios::binary) << bytes;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

template <class T>
T need(std::optional<T> value, const std::string& what) {
    if (!value) throw std::runtime_error("cannot make " + what);
    return std::move(*value);
}

void routes(const fs::path& samples) {
    for (const auto& entry : fs::directory_iterator(samples)) {
        const fs::path& p = entry.path();
        if (p.extension() != ".csv" || p.stem().string().ends_with("tp")) continue;
        std::string error;
        const auto records = need(routecsv::fromCsv(readAll(p), &error), p.string() + ": " + error);
        write("hy3", p.stem().string() + ".hy3", need(fare::hy3::write(records, &error), "a route"));
        write("routecsv", p.filename().string(), routecsv::toCsv(records));
    }
    const std::string hy3 = largest::route();
    write("hy3", "largest.hy3", hy3);
    write("routecsv", "largest.csv", routecsv::toCsv(need(fare::hy3::read(hy3, nullptr), "the largest route")));
}

void settingsFiles() {
    std::string error;
    write("settings", "default.in4", need(settings::encode(SettingsRecord{}, &error), "the settings"));
    write("settings", "largest.in4", largest::settingsFile());
}

void tapes(const fs::path& samples) {
    for (const auto& entry : fs::directory_iterator(samples))
        if (entry.path().string().ends_with("tp.csv"))
            write("tape", entry.path().filename().string(), readAll(entry.path()));
    write("tape", "largest.csv", largest::tapeTable());
}

void plugins(const fs::path& samples) {
    for (const auto& entry : fs::directory_iterator(samples)) {
        if (entry.path().extension() != ".4SP") continue;
        const std::string text = readAll(entry.path());
        if (!ticketplugin::parse(text)) throw std::runtime_error(entry.path().string() + " is no plugin");
        write("plugin", entry.path().filename().string(), text);
        // The largest file the reader takes, and one byte more, which it refuses.
        const std::string padded = largest::plugin(text);
        write("plugin", "largest-" + entry.path().filename().string(), padded);
        write("plugin", "too-large-" + entry.path().filename().string(), padded + '\n');
    }
}

void voices() {
    fs::create_directories(out / "voice");
    const auto save = [](const std::string& name, const VoiceSettings& s) {
        if (!saveVoiceSettings(QString::fromStdString((out / "voice" / name).string()), s))
            throw std::runtime_error("cannot save voice settings");
    };
    save("default.voice", VoiceSettings{});
    save("edges.voice", VoiceSettings{"ja+f2", VoiceSettings::RateRange.max, VoiceSettings::PitchRange.min,
                                      VoiceSettings::VolumeRange.max});
}

// The built-in dictionary, and one of a mebibyte: the reader takes a file of any size, and no
// folder's own stop names come near that.
void readings(const fs::path& builtIn) {
    write("readings", "readings.tsv", readAll(builtIn));
    const std::string kanji[] = {"本", "町", "駅", "前", "東", "西", "橋", "寺"};
    const std::string kana[] = {"ホン", "マチ", "エキ", "マエ", "ヒガシ", "ニシ", "ハシ", "テラ"};
    std::string table = "# 表記\t読み\n";
    for (unsigned n = 0; table.size() < (1u << 20); ++n) {
        std::string surface, reading;
        for (unsigned i = n; i; i /= 8) {
            surface += kanji[i % 8];
            reading += kana[i % 8];
        }
        table += surface + "\t" + reading + "\n";
    }
    write("readings", "large.tsv", table);
}

// Every character CP932 has: its single bytes and every double-byte code that decodes and encodes
// again (a few codes decode to characters that iconv only writes with another code or not at all).
void cp932Text() {
    std::string all;
    const auto take = [&](std::string_view code) {
        const std::string text = cp932::toUtf8(code);
        if (text != "\xEF\xBF\xBD" && cp932::fromUtf8(text)) all += text;
    };
    for (int c = 0x20; c <= 0xDF; ++c) take(std::string(1, static_cast<char>(c)));
    for (int lead = 0x81; lead <= 0xFC; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            take(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    write("cp932", "all.txt", need(cp932::fromUtf8(all), "the CP932 characters"));
    write("cp932", "all-utf8.txt", all);
}

// The open-data test feed and the sample route tables, as the one CSV reader meets them.
void csvFiles(const fs::path& source) {
    for (const fs::path& folder : {source / "tests/tools/data/gtfs/town", source / "samples"})
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".txt" || entry.path().extension() == ".csv")
                write("csv", entry.path().filename().string(), readAll(entry.path()));
}

// The demonstration's MIDI chime, as make_chimes.py writes it for the build.
void midiFiles(const fs::path& demo) { write("midi", "chime3.mid", readAll(demo / "chime3.mid")); }

// Panel pictures as Qt writes them: BMP with and without a palette (rows padded), and JPEG.
void pictures() {
    const auto save = [](const std::string& file, const char* format, QImage::Format pixels) {
        QImage image(37, 23, pixels);
        image.fill(QColor(200, 120, 40));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format))
            throw std::runtime_error("cannot write a " + std::string(format) + " picture");
        write("picture", file, bytes.toStdString());
    };
    save("rgb.bmp", "BMP", QImage::Format_RGB32);
    save("indexed.bmp", "BMP", QImage::Format_Indexed8);
    save("face.jpg", "JPEG", QImage::Format_RGB32);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fuzz-seeds SOURCE_DIR OUT_DIR\n";
        return 2;
    }
    QCoreApplication app(argc, argv); // for Qt's picture writers, which are plugins
    const fs::path source = argv[1];
    out = argv[2];
    try {
        routes(source / "samples");
        settingsFiles();
        tapes(source / "samples");
        plugins(source / "samples");
        voices();
        readings(source / "src/sound/readings.tsv");
        cp932Text();
        csvFiles(source);
        midiFiles(FERIO_DEMO_DIR);
        pictures();
    } catch (const std::exception& e) {
        std::cerr << "fuzz-seeds: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

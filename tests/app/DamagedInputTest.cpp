// Damaged inputs of every kind, and each kind's largest file with one byte more, given to the
// program the way an operator or a route author gives them: each is refused with its own message
// (or quietly, where the program is quiet about it), what was in use before stays in use, and no
// stored file changes; the settings file after the exit included.
#include "LargestInputs.h"
#include "PanelFixture.h"
#include "reslib/ui/Pickers.h"
#include "settings/SettingsCodec.h"
#include "settings/mdlIniIo.h"
#include "sound/MixerCommands.h"

#include <QCryptographicHash>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

enum class Kind { Route, Settings, Tape, Plugin, Picture, Sound, Readings, Feed };
enum class Outcome { Refused, Taken };

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
    return s;
}

// ---- The inputs: each kind's good file, its largest, and the damage done to them.

const fs::path Samples = FERIO_SAMPLES_DIR;

std::string goodRoute() {
    std::vector<fare::FareRecord> records(3);
    for (int r = 1; r <= 3; ++r) {
        records[size_t(r - 1)].StopName = "停留所" + std::to_string(r);
        records[size_t(r - 1)].column(1) = int16_t(100 * r);
    }
    return *fare::hy3::write(records, nullptr);
}

// The largest files are made once for the whole run (the route alone is 20 MB).
template <std::string (*Make)()>
const std::string& once() {
    static const std::string bytes = Make();
    return bytes;
}

// A 32-bit BMP of exactly `size` bytes: 1,024 pixels a row, its pixels from offset 4,096.
std::string bmp(uint32_t size) {
    const uint32_t width = 1024, offset = 4096, rows = (size - offset) / (width * 4);
    std::string b = "BM" + le(size, 4) + le(0, 4) + le(offset, 4) + le(40, 4) + le(width, 4) + le(rows, 4) + le(1, 2) +
                    le(32, 2) + le(0, 4) + le(rows * width * 4, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4);
    b.resize(offset, '\0');
    b.resize(size, '\x40');
    return b;
}
std::string largestPicture() { return bmp(16u << 20); }
std::string goodPicture() { return bmp(4096 + 1024 * 4 * 240); }

// A mono 8-bit WAV at 8 kHz of `samples` samples: 600 s are 4,800,000 samples.
std::string wav(uint32_t samples) {
    return "RIFF" + le(36 + samples, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) +
           le(1, 2) + le(8, 2) + "data" + le(samples, 4) + std::string(samples, '\x80');
}
std::string longestWav() { return wav(600 * 8000); }

// A MIDI file of exactly `size` bytes: one note, then a text event that fills it up.
std::string midi(uint32_t size) {
    const std::string head = std::string("MThd\0\0\0\6\0\0\0\1\1\xe0", 14);
    const std::string note("\x00\x90\x3c\x7f\x8f\x00\x80\x3c\x40", 9), end("\x00\xff\x2f\x00", 4); // two seconds
    const uint32_t text = size - 14 - 8 - 9 - 4 - 3 - 4; // header, track header, note, end, FF 01, length
    const std::string length{char(0x80 | (text >> 21)), char(0x80 | ((text >> 14) & 0x7F)),
                             char(0x80 | ((text >> 7) & 0x7F)), char(text & 0x7F)};
    const std::string track = note + std::string("\x00\xff\x01", 3) + length + std::string(text, 'x') + end;
    const auto n = uint32_t(track.size());
    return head + "MTrk" + std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + track;
}
std::string largestMidi() { return midi(16u << 20); }

const char* const OwnReading = "西山台\tニシヤマダイラ\n";
// The author's line first, then comments up to the reader's limit.
std::string largestReadings() {
    std::string t = OwnReading;
    const std::string comment = "# " + std::string(1021, '-') + "\n";
    while (t.size() + comment.size() <= 16u << 20) t += comment;
    return t + "#" + std::string((16u << 20) - t.size() - 2, '-') + "\n";
}

const fs::path Town = FERIO_GTFS_TOWN;
// The town's stops with a sixth column, its first stop's value `bytes` long.
std::string stopsWithNote(size_t bytes) {
    const std::string stops = readFile(Town / "stops.txt");
    const size_t firstEnd = stops.find("\r\n"), secondEnd = stops.find("\r\n", firstEnd + 2);
    return stops.substr(0, firstEnd) + ",stop_desc" + stops.substr(firstEnd, secondEnd - firstEnd) + ',' +
           std::string(bytes, 'x') + stops.substr(secondEnd);
}

std::string plusOne(const std::string& bytes) { return bytes + '\0'; }
std::string cut(const std::string& bytes, size_t keep) { return bytes.substr(0, keep); }
std::string patched(std::string bytes, size_t at, const std::string& with) {
    return bytes.replace(at, with.size(), with);
}

// ---- The program over a data folder, as the operator starts it.

struct Voice : Speaker {
    void speak(const std::string&) override {}
    void stopSpeaking() override {}
    int32_t status() override { return 0; }
    void useReadings(const std::string&) override {}
};

// Standard error of this process while it lives, as text.
class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = dup(2);
        dup2(fileno(file_), 2);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }
    std::string text() {
        restore();
        std::rewind(file_);
        std::string s;
        for (int c; (c = std::fgetc(file_)) != EOF;) s += char(c);
        return s;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    std::FILE* file_;
    int saved_ = -1;
};

struct Said {
    std::vector<msg::Request> boxes;
    std::string err; // standard error
    std::string out; // standard output of a command
    int code = 0;    // its exit status
};

Said run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(120000);
    return {{},
            p.readAllStandardError().toStdString(),
            p.readAllStandardOutput().toStdString(),
            p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1};
}

// Every file under `dir` by its path there, with a hash of its bytes.
std::map<std::string, QByteArray> stored(const fs::path& dir) {
    std::map<std::string, QByteArray> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files[fs::relative(e.path(), dir).string()] =
                QCryptographicHash::hash(QByteArray::fromStdString(readFile(e.path())), QCryptographicHash::Sha256);
    return files;
}
QByteArray hashOf(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256);
}

class DamagedInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mixer = std::make_unique<MixerCommands>(); }
    // The device is closed before the process ends, as the program closes it: its mixing thread
    // must not outlive what it mixes into.
    static void TearDownTestSuite() {
        mixer.reset();
        audio::close();
    }

    fs::path data() const { return fs::path(root.path().toStdString()) / "data"; }
    fs::path in4() const { return data() / "ferio.in4"; }

    // The operator's settings: everything read from the data folder, a picture of their own,
    // a ticket plugin, the route-set sound and a data-forward sound that does not hold the panel.
    SettingsRecord operatorsSettings() const {
        SettingsRecord s;
        OptionInfo& o = s.Options;
        o.FareDataDir = o.TapeDataDir = data().string();
        o.PanelAuto = 0;
        o.PanelIndividual = -1;
        o.PanelOffBuiltin = 0;
        o.PanelOffUser = -1;
        o.PanelOffFile = (data() / "face.bmp").string();
        o.UseSeiriPrev = 1;
        o.SeiriPlgPath = (data() / "plugin.4SP").string();
        o.SoundKeitoSet = (data() / "keito.wav").string();
        o.StepSoundAlways = -1;
        o.StepSoundByColumn = 0;
        o.StepSoundSync = 0;
        o.StepSoundAsync = -1;
        o.StepSoundFile = (data() / "step.mid").string();
        return s;
    }

    // A fresh data folder holding a good file of every kind.
    void prepareData() {
        fs::remove_all(data());
        writeFile(data() / "12.hy3", goodRoute());
        writeFile(data() / "12tp.csv", "\xEF\xBB\xBF\"12番系統です。\",0,0\r\n\"次は、停留所2です。\",1,0\r\n");
        writeFile(data() / "face.bmp", goodPicture());
        writeFile(data() / "plugin.4SP", readFile(Samples / "barcode.4SP"));
        writeFile(data() / "keito.wav", readFile(Samples / "chime1.wav"));
        writeFile(data() / "step.mid", readFile(Samples / "chime3.mid"));
        writeFile(data() / "readings.tsv", OwnReading);
        fs::copy(Town, data() / "feed");
        for (const char* name : {"5.hy3", "5tp.csv", "5times.csv", "readings.tsv"})
            writeFile(data() / "out" / name, "previous " + std::string(name));
        writeFile(in4(), *settings::encode(operatorsSettings(), nullptr));
    }

    void start() {
        ferio = std::make_unique<Ferio>(FerioDevices{sound, services, services, &voice, {}},
                                        QString::fromStdString(in4().string()));
        ferio->board().setLampTestMs(0);
        ferio->start();
    }
    void exit() {
        EXPECT_TRUE(ferio->panel().close());
        ferio.reset();
    }
    void setRoute(const char* route) {
        ferio->panel().enterRoute(QString::fromLatin1(route));
        clickControl(ferio->panel(), "Command1_1");
    }

    DamagedInput() {
        msg::setHandler([this](const msg::Request& r) {
            boxes.push_back(r);
            return r.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~DamagedInput() override { msg::setHandler({}); }

    static inline std::unique_ptr<MixerCommands> mixer;
    QTemporaryDir root;
    RecordingDevices services;
    SoundChannels sound{*mixer, "ferio"};
    Voice voice;
    std::unique_ptr<Ferio> ferio;
    std::vector<msg::Request> boxes;
};

} // namespace

TEST_F(DamagedInput, EveryKindIsRefusedWithItsMessageAndNothingInUseOrStoredIsLost) {
    // What the route was before the damaged input came: route 12, at its second stop.
    struct Before {
        fare::RouteState state;
        int routesLoaded = 0;
        int16_t fare = 0;
        qint64 picture = 0;
        QStringList plugin;
    };
    const QString dir = QString::fromStdString(data().string());
    auto pluginLines = [this] {
        QStringList lines;
        auto* list = ferio->dialog().findChild<QListWidget*>(QStringLiteral("lstPlgProperty"));
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    };

    // Where each kind's file goes, and the box that refuses it (none: said on standard error, or not at all).
    struct KindOf {
        Kind kind;
        const char* file; // under the data folder
        QString title;    // of the message box
        QMessageBox::Icon icon;
    };
    const std::vector<KindOf> kinds = {
        {Kind::Route, "13.hy3", msg::AppTitle, QMessageBox::NoIcon},
        {Kind::Settings, "ferio.in4", msg::AppTitle, QMessageBox::NoIcon},
        {Kind::Tape, "12tp.csv", {}, {}},
        {Kind::Plugin, "plugin.4SP", QStringLiteral("プラグインロードエラー"), QMessageBox::Critical},
        {Kind::Picture, "face.bmp", QStringLiteral("エラー"), QMessageBox::Critical},
        {Kind::Sound, "keito.wav", {}, {}},
        {Kind::Readings, "readings.tsv", {}, {}},
        {Kind::Feed, "feed/stops.txt", {}, {}},
    };

    struct Row {
        Kind kind;
        const char* damage;
        std::function<std::string()> bytes;
        Outcome outcome;
        // The message box's text, or for the quiet kinds what standard error says; empty: nothing.
        // %1 stands for the data folder.
        QString said;
        const char* file = nullptr; // another file of the kind than its usual one
    };
    const std::string route = goodRoute();
    const std::string settingsBytes = *settings::encode(operatorsSettings(), nullptr);
    const std::string chime = readFile(Samples / "chime1.wav");
    const std::string town = readFile(Town / "stops.txt");
    const std::vector<Row> rows = {
        {Kind::Route, "cut inside record 2", [&] { return cut(route, 2 + 304 + 10 + 100); }, Outcome::Refused,
         QStringLiteral("運賃データファイルが壊れています（レコード 2 の途中でファイルが終わっています）。")},
        {Kind::Route, "count -1", [&] { return patched(route, 0, "\xff\xff"); }, Outcome::Refused,
         QStringLiteral("運賃データファイルのレコード数 -1 は不正です。")},
        {Kind::Route, "largest", [] { return once<largest::route>(); }, Outcome::Taken, {}},
        {Kind::Route,
         "largest + 1 byte after the last record",
         [] { return plusOne(once<largest::route>()); },
         Outcome::Taken,
         {}},
        {Kind::Route, "largest with count 302", [] { return patched(once<largest::route>(), 0, le(302, 2)); },
         Outcome::Refused, QStringLiteral("運賃データファイルのレコード数 302 は上限の 301 を超えています。")},

        {Kind::Settings, "one byte short", [&] { return cut(settingsBytes, settingsBytes.size() - 1); },
         Outcome::Refused,
         QStringLiteral("エラー Code:75\r\n内容:設定ファイルが壊れています"
                        "（ブロック 11「コマごとの数字設定」の途中でファイルが終わっています）。"
                        "\r\n\r\n読めなかった設定ファイルは %1/ferio.in4.damaged に残しました。")},
        {Kind::Settings, "first text count 65535", [&] { return patched(settingsBytes, 0, "\xff\xff"); },
         Outcome::Refused,
         QStringLiteral("エラー Code:75\r\n内容:設定ファイルが壊れています"
                        "（ブロック 1「フォルダー」のオプション項目 1の途中でファイルが終わっています）。"
                        "\r\n\r\n読めなかった設定ファイルは %1/ferio.in4.damaged に残しました。")},
        {Kind::Settings, "largest", [] { return once<largest::settingsFile>(); }, Outcome::Taken, {}},
        {Kind::Settings,
         "largest + 1 byte after the last block",
         [] { return plusOne(once<largest::settingsFile>()); },
         Outcome::Taken,
         {}},

        {Kind::Tape, "bytes that are not CP932", [] { return std::string("\"one\",0,0\r\n\"\x81\x7f\",0,0\r\n"); },
         Outcome::Refused, QStringLiteral("%1/12tp.csv: line 2: the text holds bytes that are not CP932")},
        {Kind::Tape, "cut inside a quote", [] { return std::string("\"one\",0,0\r\n\"two"); }, Outcome::Refused,
         QStringLiteral("%1/12tp.csv: line 2: field 1 opens a quote that is never closed")},
        {Kind::Tape, "largest", [] { return once<largest::tapeTable>(); }, Outcome::Taken, {}},
        {Kind::Tape, "largest + 1 byte", [] { return plusOne(once<largest::tapeTable>()); }, Outcome::Refused,
         QStringLiteral("%1/12tp.csv: larger than 16777216 bytes or unreadable")},

        {Kind::Plugin, "cut in half",
         [] {
             const std::string p = readFile(Samples / "plain.4SP");
             return cut(p, p.size() / 2);
         },
         Outcome::Refused, QStringLiteral("指定したファイルはプラグインでないか、内容が不正です")},
        {Kind::Plugin, "largest", [] { return largest::plugin(readFile(Samples / "plain.4SP")); }, Outcome::Taken, {}},
        {Kind::Plugin, "largest + 1 byte", [] { return plusOne(largest::plugin(readFile(Samples / "plain.4SP"))); },
         Outcome::Refused, QStringLiteral("指定したファイルはプラグインでないか、内容が不正です")},

        {Kind::Picture, "cut inside its pixels", [] { return cut(goodPicture(), 300000); }, Outcome::Refused,
         QStringLiteral(
             "エラーです。\r\n\r\nエラーコード：481　指定した画像の内容が不正です。この部分では扱えません。")},
        {Kind::Picture, "not a picture", [] { return std::string("GIF89a and then nothing of a picture"); },
         Outcome::Refused,
         QStringLiteral(
             "エラーです。\r\n\r\nエラーコード：481　指定した画像の内容が不正です。この部分では扱えません。")},
        {Kind::Picture, "largest", [] { return once<largestPicture>(); }, Outcome::Taken, {}},
        {Kind::Picture, "largest + 1 byte", [] { return plusOne(once<largestPicture>()); }, Outcome::Refused,
         QStringLiteral(
             "エラーです。\r\n\r\nエラーコード：481　指定した画像の内容が不正です。この部分では扱えません。")},

        {Kind::Sound, "WAV format bytes wrong", [&] { return patched(chime, 20, "\x34\x12"); }, Outcome::Refused, {}},
        {Kind::Sound,
         "MIDI cut inside its track",
         [] { return cut(readFile(Samples / "chime3.mid"), 40); },
         Outcome::Refused,
         {},
         "step.mid"},
        {Kind::Sound, "longest WAV (600 s)", [] { return once<longestWav>(); }, Outcome::Taken, {}},
        {Kind::Sound, "longest WAV + 1 sample byte", [] { return wav(600 * 8000 + 1); }, Outcome::Refused, {}},
        {Kind::Sound, "largest MIDI", [] { return once<largestMidi>(); }, Outcome::Taken, {}, "step.mid"},
        {Kind::Sound, "largest MIDI + 1 byte", [] { return midi((16u << 20) + 1); }, Outcome::Refused, {}, "step.mid"},

        {Kind::Readings, "a line of wrong bytes", [] { return std::string(OwnReading) + "\xff\xfe\t\xff\n"; },
         Outcome::Taken, QStringLiteral("%1/readings.tsv:2: UTF-8 ではありません")},
        {Kind::Readings, "a reading that is no katakana", [] { return std::string(OwnReading) + "東町\tひがしまち\n"; },
         Outcome::Taken, QStringLiteral("%1/readings.tsv:2: 読みがカタカナではありません")},
        {Kind::Readings, "largest", [] { return once<largestReadings>(); }, Outcome::Taken, {}},
        {Kind::Readings, "largest + 1 byte", [] { return plusOne(once<largestReadings>()); }, Outcome::Refused,
         QStringLiteral("%1/readings.tsv: 読みません: 16777216 バイトを超えています")},

        {Kind::Feed, "stops cut inside a quote", [&] { return cut(town, town.find("S02")) + "S02,\"𠮷野"; },
         Outcome::Refused, QStringLiteral("stops.txt: line 3: field 2 opens a quote that is never closed")},
        {Kind::Feed, "largest field", [] { return stopsWithNote(256 * 1024); }, Outcome::Taken,
         QStringLiteral("warning: \"𠮷野町\": 𠮷 (U+20BB7) has no CP932 code and is written 吉")},
        {Kind::Feed, "largest field + 1 byte", [] { return stopsWithNote(256 * 1024 + 1); }, Outcome::Refused,
         QStringLiteral("stops.txt: line 2: field 6 is longer than 262144 bytes")},
    };

    int held = 0;
    for (const Row& row : rows) {
        const KindOf& kind =
            *std::find_if(kinds.begin(), kinds.end(), [&](const KindOf& k) { return k.kind == row.kind; });
        const std::string file = row.file ? row.file : kind.file;
        SCOPED_TRACE(file + ": " + row.damage);
        const auto started = std::chrono::steady_clock::now();
        const bool taken = row.outcome == Outcome::Taken;
        const QString expected = row.said.contains(QStringLiteral("%1")) ? row.said.arg(dir) : row.said;
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        prepareData();
        boxes.clear();
        const std::string bytes = row.bytes();
        const bool inProgram = row.kind != Kind::Readings && row.kind != Kind::Feed;

        // The route in use and everything it shows, before the input comes.
        Before before;
        if (row.kind != Kind::Settings && inProgram) {
            start();
            setRoute("12");
            clickControl(ferio->panel(), "Command2_1");
            before = {ferio->engine().state(), ferio->engine().routesLoaded(),
                      ferio->engine().currentRecord().column(1), ferio->board().picture().cacheKey(), pluginLines()};
            ASSERT_EQ(before.state.CurrentStop, 1);
            ASSERT_EQ(before.plugin.size(), 10) << "the barcode plugin is described";
            ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
        }
        writeFile(data() / file, bytes);
        const auto storedBefore = stored(data());

        // The input is read.
        boxes.clear();
        Said said;
        {
            StderrCapture err;
            switch (row.kind) {
            case Kind::Route: setRoute("13"); break;
            case Kind::Settings: start(); break;
            case Kind::Tape: setRoute("12"); break;
            case Kind::Plugin: {
                picker::setHandler([&](const picker::Request&) {
                    return picker::Answer{true, dir + QStringLiteral("/plugin.4SP")};
                });
                ferio->dialog().findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
                picker::setHandler({});
                break;
            }
            case Kind::Picture: ferio->dialog().SetProp(); break;
            case Kind::Sound:
                setRoute("12");
                clickControl(ferio->panel(), "Command2_1");
                break;
            case Kind::Readings:
                said = run(QStringLiteral(FERIO_BIN_DIR "/ferio"),
                           {QStringLiteral("--readings"), dir + QStringLiteral("/readings.tsv"),
                            QStringLiteral("--reading"), QStringLiteral("次は、西山台です。")});
                break;
            case Kind::Feed:
                said = run(QStringLiteral(FERIO_BIN_DIR "/hy3tool"),
                           {QStringLiteral("gtfs"), dir + QStringLiteral("/feed"), QStringLiteral("--route"),
                            QStringLiteral("R1"), QStringLiteral("--direction"), QStringLiteral("0"),
                            QStringLiteral("--number"), QStringLiteral("5"), QStringLiteral("--out"),
                            dir + QStringLiteral("/out")});
                break;
            }
            if (inProgram) said.err = err.text();
        }
        said.boxes = boxes;

        // Its message, or the quiet where the program is quiet.
        if (!kind.title.isEmpty()) {
            if (expected.isEmpty()) {
                EXPECT_TRUE(said.boxes.empty()) << said.boxes[0].text.toStdString();
            } else {
                EXPECT_EQ(said.boxes.size(), 1u) << "refused with its message";
                for (const msg::Request& box : said.boxes) {
                    EXPECT_EQ(box.text.toStdString(), expected.toStdString());
                    EXPECT_EQ(box.title, kind.title);
                    EXPECT_EQ(box.icon, kind.icon);
                }
            }
        } else {
            EXPECT_TRUE(said.boxes.empty()) << said.boxes[0].text.toStdString();
            if (expected.isEmpty())
                EXPECT_EQ(said.err.find(dir.toStdString()), std::string::npos) << said.err;
            else
                EXPECT_NE(said.err.find(expected.toStdString()), std::string::npos) << said.err;
        }

        // What is in use: the new input when it was taken, else what was in use before.
        const auto routeHeld = [&] {
            EXPECT_EQ(ferio->engine().state().StopCount, before.state.StopCount);
            EXPECT_EQ(ferio->engine().state().CurrentStop, before.state.CurrentStop);
            EXPECT_EQ(ferio->engine().currentRecord().column(1), before.fare);
        };
        switch (row.kind) {
        case Kind::Route:
            EXPECT_EQ(ferio->engine().routesLoaded(), before.routesLoaded + (taken ? 1 : 0));
            if (taken) {
                EXPECT_EQ(ferio->engine().state().StopCount, 301);
                EXPECT_EQ(ferio->engine().currentRecord().StopName.size(), 3 * 32767u + 1);
            } else {
                routeHeld();
            }
            break;
        case Kind::Settings:
            EXPECT_EQ(ferio->options().FareDataDir, taken ? largest::longestName() : std::string())
                << "all of the file or none of it";
            break;
        case Kind::Tape: {
            EXPECT_EQ(ferio->engine().routesLoaded(), before.routesLoaded + 1) << "the route is set all the same";
            const auto lines = std::count(bytes.begin(), bytes.end(), '\n');
            EXPECT_EQ(ferio->tape().count(), taken ? lines : 0);
            EXPECT_EQ(ferio->panel().findChild<QGroupBox*>(QStringLiteral("grpM_Tape"))->isEnabled(), taken);
            break;
        }
        case Kind::Plugin:
            if (taken)
                EXPECT_EQ(pluginLines().size(), 6) << "the plain plugin is described";
            else
                EXPECT_EQ(pluginLines(), before.plugin) << "the previous description stays";
            EXPECT_EQ(ferio->dialog().findChild<QLineEdit*>(QStringLiteral("txtSeiriPlgDir"))->text(),
                      dir + QStringLiteral("/plugin.4SP"));
            break;
        case Kind::Picture:
            if (taken)
                EXPECT_EQ(ferio->board().picture().size(), QSize(1024, 4095));
            else
                EXPECT_EQ(ferio->board().picture().cacheKey(), before.picture) << "the previous face stays";
            break;
        case Kind::Sound:
            EXPECT_EQ(ferio->engine().routesLoaded(), before.routesLoaded + 1);
            EXPECT_EQ(audio::playing(file == "step.mid" ? 1 : 0) != nullptr, taken);
            EXPECT_NE(audio::playing(file == "step.mid" ? 0 : 1), nullptr) << "the other sound plays";
            break;
        case Kind::Readings:
            EXPECT_EQ(said.code, 0);
            EXPECT_EQ(said.out.find("ニシヤマダイラ") != std::string::npos, taken) << said.out;
            break;
        case Kind::Feed: EXPECT_EQ(said.code, taken ? 0 : 1) << said.err; break;
        }

        // Nothing stored is lost: the settings are saved at the exit as they were read.
        if (ferio) exit();
        auto storedAfter = stored(data());
        auto expectedAfter = storedBefore;
        if (row.kind == Kind::Settings && !taken) {
            EXPECT_EQ(storedAfter["ferio.in4.damaged"], hashOf(bytes)) << "the refused file is kept beside it";
            expectedAfter["ferio.in4.damaged"] = hashOf(bytes);
            std::string error;
            EXPECT_TRUE(settings::decode(readFile(in4()), &error)) << "the defaults are saved whole: " << error;
            expectedAfter["ferio.in4"] = storedAfter["ferio.in4"];
        } else if (row.kind == Kind::Settings) {
            // Every text of the largest file comes back whole; a byte after its last block is not kept.
            expectedAfter["ferio.in4"] = hashOf(once<largest::settingsFile>());
        } else if (row.kind == Kind::Feed && taken) {
            for (const char* name : {"out/5.hy3", "out/5tp.csv", "out/5times.csv", "out/readings.tsv"}) {
                EXPECT_NE(storedAfter[name], storedBefore.at(name)) << name << " is written";
                expectedAfter[name] = storedAfter[name];
            }
        }
        EXPECT_EQ(storedAfter, expectedAfter);
        const bool rowHeld =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failuresBefore;
        held += rowHeld;
        std::printf(
            "%-16s %-40s %-7s %s  %lld ms\n", file.c_str(), row.damage, taken ? "taken" : "refused",
            rowHeld ? "held" : "FAILED",
            static_cast<long long>((std::chrono::steady_clock::now() - started) / std::chrono::milliseconds(1)));
    }
    std::printf("%d of %zu damaged or largest inputs held\n", held, rows.size());
}

// Address text files and .GA files through the gateway dialog's Save, Load
// and Import buttons.
#include "GatewayFixture.h"

#include <QFile>
#include <QtEndian>

namespace {

class GatewayFilesTest : public GatewayTest
{
protected:
    void SetUp() override
    {
        startTerminal(false);
        openDialog();
    }
    QString file(const char *name, const QByteArray &content)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        return path;
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A .GA file: header with `id` and `recordSize`, records of (word, type code),
    // then `tail` bytes of a record cut short.
    static QByteArray gaFile(const QByteArray &id, quint32 recordSize,
                             std::vector<std::pair<quint16, quint32>> records, int tail = 0)
    {
        QByteArray bytes(32, '\xAA');
        bytes.replace(0, id.size(), id);
        qToLittleEndian<quint32>(recordSize, bytes.data() + 20);
        for (auto [word, code] : records) {
            QByteArray record(160, '\x55');
            qToLittleEndian<quint16>(word, record.data());
            qToLittleEndian<quint32>(code, record.data() + 4);
            bytes += record;
        }
        return bytes + QByteArray(tail, '\x11');
    }
    // The last message holds `part`; none was shown when `part` is null.
    void expectMessage(const char *part) const
    {
        if (part) {
            EXPECT_TRUE(lastMessage().contains(QLatin1String(part))) << lastMessage().toStdString();
        } else {
            EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
        }
    }
    QString lastMessage() const
    {
        return ui.messages.empty() ? QString() : ui.messages.back().text;
    }
};

TEST_F(GatewayFilesTest, saveWritesOneDefinitionPerLine)
{
    // No rows: no file dialog, no file.
    click("saveButton");
    EXPECT_TRUE(ui.fileDialogs.empty());

    addAddress("5", "1", "10", 21, true);
    addAddress("1", "2", "3", 9, false);
    const QString path = dir.filePath(QStringLiteral("table.txt"));
    ui.files.push_back(path);
    click("saveButton");
    EXPECT_EQ(read(path), QByteArray("S01/2/003:9,E\r\nS05/1/010:21,D\r\n"));
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const UiServices::FileDialog &d = ui.fileDialogs.front();
    EXPECT_EQ(d.title, QStringLiteral("Save GATEX addresses"));
    EXPECT_EQ(d.proposedName, QStringLiteral("o.txt"));
    EXPECT_EQ(QDir(d.directory), QDir(dir.path()));
    EXPECT_EQ(d.defaultSuffix, QStringLiteral("TXT"));
    EXPECT_TRUE(d.confirmOverwrite);
    EXPECT_TRUE(ui.messages.empty());

    // A file that cannot be created is reported, and the old one stays as it was.
    ui.files.push_back(dir.filePath(QStringLiteral("missing/table.txt")));
    click("saveButton");
    EXPECT_TRUE(lastMessage().contains(QLatin1String("could not be written")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/table.txt"))));
}

struct LoadCase
{
    const char *name;
    QByteArray content;
    QStringList rows;
    const char *message; // part of the message, or nullptr for none
};

TEST_F(GatewayFilesTest, loadReadsDefinitionsAndSaysWhereItStopped)
{
    const QStringList before{"15/7/255|E|" + kDecimal};
    const std::vector<LoadCase> cases = {
        {"format 0 and a missing comma",
         "S01/2/003:0,D\r\nS01/2/003:9\r\n",
         {"01/2/003|D|" + kDecimal, "01/2/003|E|" + kFloat},
         nullptr},
        {"LF line ends, no end at the last line",
         "S05/1/010:21,D\nS01/2/003:9,E",
         {"01/2/003|E|" + kFloat, "05/1/010|D|21: 1 - 6 bit hexadecimal"},
         nullptr},
        {"a trailing blank line loses nothing",
         "S01/2/003:9,E\r\n\r\n",
         {"01/2/003|E|" + kFloat},
         nullptr},
        {"a stray blank line is reported",
         "S01/2/003:9,E\r\n\r\nS05/1/010:21,D\r\n",
         {"01/2/003|E|" + kFloat},
         "stopped at line 2"},
        {"lower-case s ends the reading",
         "S01/2/003:9,E\r\ns05/1/010:21,D\r\n",
         {"01/2/003|E|" + kFloat},
         "stopped at line 2"},
        {"a header keeps the table", "GA list\r\nS01/2/003:9,E\r\n", before,
         "holds no group address definition"},
        {"an empty file keeps the table", "", before, "holds no group address definition"},
        {"bit 15 and formats outside 1-21",
         "S16/0/000:1,E\r\nS01/2/003:35,E\r\nS01/2/004:300,D\r\n",
         {"01/2/003|E|" + kDecimal, "01/2/004|D|" + kDecimal},
         "Lines left out: 1"},
        {"unpadded numbers", "S1/2/3:12,D\r\n", {"01/2/003|D|12: 4 byte unsigned"}, nullptr},
        {"binary data", QByteArray("\x00\x01\x02\xFFS", 5), before,
         "holds no group address definition"},
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.name);
        dialog->model()->replaceAll({GroupAddressEntry::make(0x7FFF, 0, 1)});
        ui.messages.clear();
        ui.files.push_back(file("load.txt", c.content));
        click("loadButton");
        EXPECT_EQ(rows(), c.rows);
        expectMessage(c.message);
    }
    const UiServices::FileDialog &d = ui.fileDialogs.back();
    EXPECT_EQ(d.title, QStringLiteral("Load GATEX addresses"));
    EXPECT_EQ(QDir(d.directory), QDir(dir.path()));

    // A file that cannot be opened is reported and changes nothing.
    ui.files.push_back(dir.filePath(QStringLiteral("none.txt")));
    click("loadButton");
    EXPECT_EQ(rows(), before);
    EXPECT_TRUE(lastMessage().contains(QLatin1String("could not be opened")));
}

TEST_F(GatewayFilesTest, savedFileLoadsBackUnchanged)
{
    std::vector<GroupAddressEntry> entries;
    for (int w = 0; w < 0x8000; w += 7)
        entries.push_back(GroupAddressEntry::make(static_cast<std::uint16_t>(w), w % 2,
                                                  static_cast<std::uint8_t>(1 + w % 21)));
    dialog->model()->replaceAll(entries);
    const QString path = dir.filePath(QStringLiteral("round.txt"));
    ui.files = {path, path};
    click("saveButton");
    dialog->model()->clear();
    click("loadButton");
    EXPECT_EQ(dialog->model()->entries(), entries);
    EXPECT_TRUE(ui.messages.empty());
}

struct ImportCase
{
    const char *name;
    QByteArray content;
    QStringList rows;
    const char *message;
};

TEST_F(GatewayFilesTest, importTakesTheValidRecordsOfAGaFile)
{
    const QByteArray id("GRPADRLST\0", 10);
    const QStringList before{"15/7/255|E|" + kDecimal};
    const std::vector<ImportCase> cases = {
        {"records with invalid addresses are skipped",
         gaFile(id, 160, {{0x290A, 0x6003}, {0x8000, 0x30}, {0, 0x30}, {0x0A03, 0x5001}}),
         {"01/2/003|E|" + kFloat, "05/1/010|E|4: Angle 0 - 360 degrees"},
         nullptr},
        {"a short last record is ignored and reported",
         gaFile(id, 160, {{0x0A03, 0x9010}}, 50),
         {"01/2/003|E|14: IEEE float"},
         "incomplete record of 50 bytes"},
        {"record size 128", gaFile(id, 128, {{0x0A03, 0x5001}}), before, "128 bytes long"},
        {"identification without its NUL", gaFile("GRPADRLSTX", 160, {{0x0A03, 0x5001}}), before,
         "no .GA address file"},
        {"shorter than the header", QByteArray("GRPADRLST\0\0\0", 12), before,
         "no .GA address file"},
        {"no valid record", gaFile(id, 160, {{0x8001, 0x30}}), before, "no valid group address"},
    };
    for (const ImportCase &c : cases) {
        SCOPED_TRACE(c.name);
        dialog->model()->replaceAll({GroupAddressEntry::make(0x7FFF, 0, 1)});
        ui.messages.clear();
        ui.files.push_back(file("import.ga", c.content));
        click("importButton");
        EXPECT_EQ(rows(), c.rows);
        expectMessage(c.message);
    }
    EXPECT_EQ(ui.fileDialogs.back().title,
              QStringLiteral("Import GATEX addresses from BusScout/VisPlanner *.GA files"));

    ui.files.push_back(dir.filePath(QStringLiteral("none.ga")));
    click("importButton");
    EXPECT_TRUE(lastMessage().contains(QLatin1String("could not be opened")));
    EXPECT_EQ(rows(), before);
}

} // namespace

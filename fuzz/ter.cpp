// Display documents (.ter): any file opens without fault and shows its text up
// to the first NUL, its line breaks (CR LF, LF or a lone CR) as line breaks;
// saving writes that text with CR LF line breaks; the saved file opens to the
// same lines, and saving it again gives the same bytes. Nothing is reported
// on the way. Most inputs take the way of a file's bytes into the display
// and back in memory; one in 256 (by its length) goes through real files, so
// that the file handling is fuzzed too without every input paying for it.
#include "FuzzInput.h"

#include "display/DisplayBuffer.h"
#include "display/DisplayModel.h"
#include "display/RuKTerminalDoc.h"
#include "platform/UiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// Boxes and file dialogs must not wait for a user; any box is a finding.
class NoUser final : public UiServices
{
public:
    void beep() override {}
    void messageBox(const QString &text, const QString &, Icon) override
    {
        std::fprintf(stderr, "invariant broken: a box was shown: %s\n", qPrintable(text));
        std::abort();
    }
    Answer question(const QString &, const QString &, bool) override { return Answer::Cancel; }
    QString openFileName(const FileDialog &) override { return {}; }
    QString saveFileName(const FileDialog &) override { return {}; }
};

// Scratch files in memory where there is a memory file system: every save
// flushes its file to the disk.
QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/orba-fuzz-XXXXXX")
                                           : QDir::tempPath() + QStringLiteral("/orba-fuzz-XXXXXX");
}

struct Document
{
    QTemporaryDir folder{scratchTemplate()};
    DisplaySettings settings;
    CharMapTable table;
    CDisplayModel model{settings, table};
    CRuKTerminalDoc doc{&model};
    NoUser noUser;
};

Document *g_doc = nullptr;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

// The text as the display holds it: line breaks as single LFs.
QByteArray displayed(QByteArray text)
{
    return text.replace("\r\n", "\n").replace('\r', '\n');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv); // lives as long as the process
    g_doc = new Document;
    // The recent-file list of the fuzz runs stays in the scratch folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, g_doc->folder.path());
    setUiServices(&g_doc->noUser);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Document &d = *g_doc;
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype nul = file.indexOf('\0');
    const QByteArray text = nul >= 0 ? file.left(nul) : file;
    const CDisplayBuffer &buffer = d.model.buffer();

    if (size % 256 != 255) {
        d.model.setText(CRuKTerminalDoc::textOfFile(file));
        FUZZ_CHECK(buffer.text() == displayed(text));
        const int lines = buffer.lineCount();
        const QByteArray first = CRuKTerminalDoc::fileOfText(buffer);
        FUZZ_CHECK(first == displayed(text).replace("\n", "\r\n"));
        d.model.setText(CRuKTerminalDoc::textOfFile(first));
        FUZZ_CHECK(buffer.lineCount() == lines);
        FUZZ_CHECK(CRuKTerminalDoc::fileOfText(buffer) == first);
        return 0;
    }

    const QString opened = d.folder.filePath(QStringLiteral("in.ter"));
    const QString saved = d.folder.filePath(QStringLiteral("out.ter"));
    writeFile(opened, file);
    FUZZ_CHECK(d.doc.OnOpenDocument(opened));
    FUZZ_CHECK(buffer.text() == displayed(text));
    const int lines = buffer.lineCount();

    FUZZ_CHECK(d.doc.OnSaveDocument(saved));
    const QByteArray first = readFile(saved);
    FUZZ_CHECK(first == displayed(text).replace("\n", "\r\n"));

    FUZZ_CHECK(d.doc.OnOpenDocument(saved));
    FUZZ_CHECK(buffer.lineCount() == lines);
    FUZZ_CHECK(d.doc.OnSaveDocument(saved));
    FUZZ_CHECK(readFile(saved) == first);
    return 0;
}

// INI files: any bytes read without fault, and a write of keys
// - gives each written key its value when read back (CR and LF become blanks),
// - leaves every other key with the value it had,
// - leaves every line it does not write byte for byte as it was (only the
//   text of one line is replaced, or whole lines are put in),
// - grows the file by no more than the new lines,
// - equals writing the keys one after the other, and is idempotent.
#include "FuzzInput.h"

#include "platform/ProfileText.h"

#include <iterator>

namespace {

const char *const kSections[] = {"Com", "HotKeys", "Display", "CharTexts", "GAS", "PA", "a"};
const char *const kKeys[] = {"Port", "HotKeyText0", "UseKeyBar", "0", "255", "1", "Address", "k"};

struct Target
{
    QString section;
    QString key;
};

// A key of the file itself (as its parse sees it), or one the program uses.
Target pickTarget(FuzzInput &in, const profile::Snapshot &ini)
{
    const auto &entries = ini.entries();
    if (!entries.isEmpty() && in.boolean()) {
        auto it = entries.constBegin();
        std::advance(it, in.intInRange(0, static_cast<int>(entries.size()) - 1));
        const qsizetype nl = it.key().indexOf(u'\n');
        return {it.key().left(nl), it.key().mid(nl + 1)};
    }
    return {QString::fromLatin1(kSections[in.intInRange(0, std::size(kSections) - 1)]),
            QString::fromLatin1(kKeys[in.intInRange(0, std::size(kKeys) - 1)])};
}

QString asRead(QString value)
{
    return value.replace(u'\r', u' ').replace(u'\n', u' ');
}

QString id(const Target &t)
{
    return t.section.toCaseFolded() + u'\n' + t.key.toCaseFolded();
}

// The bytes of `before` that `after` no longer has lie within one line;
// returns their number.
qsizetype checkOnlyOneLineChanged(const QByteArray &before, const QByteArray &after)
{
    const qsizetype limit = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < limit && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < limit - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QByteArray removed = before.mid(head, before.size() - head - tail);
    FUZZ_CHECK(!removed.contains('\n') && !removed.contains('\r'));
    // Lines are only ever added.
    FUZZ_CHECK(after.count('\n') + after.count('\r') >= before.count('\n') + before.count('\r'));
    return removed.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const int keyCount = in.intInRange(1, 3);
    const int controlBytes = 12 * keyCount;
    const QByteArray file
        = in.bytes(in.remaining() > std::size_t(controlBytes) ? in.remaining() - controlBytes : 0);
    const profile::Snapshot before = profile::Snapshot::fromBytes(file);

    // Keys of one section, as the dialogs write them.
    const Target first = pickTarget(in, before);
    profile::KeyValues values;
    QList<Target> targets;
    for (int i = 0; i < keyCount; ++i) {
        Target t = i == 0 ? first : pickTarget(in, before);
        t.section = first.section;
        const QString value = QString::fromUtf8(in.sizedBytes(40));
        values.append({t.key, value});
        targets.append(t);
    }

    const QByteArray after = profile::withStrings(file, first.section, values);
    const profile::Snapshot read = profile::Snapshot::fromBytes(after);
    QHash<QString, QString> expected = before.entries();
    qsizetype written = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        expected.insert(id(targets[i]), asRead(values[i].second));
        written
            += (first.section.size() + values[i].first.size() + values[i].second.size()) * 3 + 8;
    }
    FUZZ_CHECK(read.entries() == expected);

    if (values.size() == 1) {
        // The rewritten line's name may change from Windows-1252 to UTF-8:
        // up to three bytes a character.
        const qsizetype removed = checkOnlyOneLineChanged(file, after);
        FUZZ_CHECK(after.size() <= file.size() + 2 * removed + written);
    } else {
        QByteArray oneByOne = file;
        for (const auto &kv : values)
            oneByOne = profile::withStrings(oneByOne, first.section, {kv});
        FUZZ_CHECK(oneByOne == after);
    }
    FUZZ_CHECK(profile::withStrings(after, first.section, values) == after);
    return 0;
}

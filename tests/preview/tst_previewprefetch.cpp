#include "preview/PreviewLoader.h"
#include "preview/PreviewPrefetch.h"
#include "support/NoteFolder.h"

#include <QTest>

#include <cstdint>

using preview::PreviewLoader;
using preview::PreviewPrefetch;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::int32_t Lines = 5;

// Notes of every kind the loader tells apart, so that a text given to the wrong box or read
// with other settings shows: each note names itself, some are blank, one is GB18030, one
// is listed but missing.
QStringList writeMixedNotes(const NoteFolder& folder, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = u"note %1.txt"_s.arg(i, 4, 10, QLatin1Char('0'));
        names.append(name);
        switch (i % 5) {
        case 0:
            folder.write(name, u"第 %1 篇\n\n  second\nthird\nfourth\nfifth\nsixth\n"_s.arg(i).toUtf8());
            break;
        case 1:
            folder.write(name, "   \n \n");
            break;
        case 2:
            folder.write(name, QByteArray("\xD6\xD0\xCE\xC4 ") + QByteArray::number(i) + "\r\n");
            break;
        case 3:
            break; // listed, but not there
        default:
            folder.write(name, "only " + QByteArray::number(i));
            break;
        }
    }
    return names;
}

QStringList readAll(PreviewPrefetch& previews, const QString& prefix, const QStringList& names)
{
    QStringList texts;
    for (qsizetype i = 0; i < names.size(); ++i) {
        std::optional<QString> read = previews.Take(i);
        texts.append(read ? *read : PreviewLoader::Load(prefix + names[i], Lines));
    }
    return texts;
}

} // namespace

class tst_previewprefetch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whichever thread read a note, its box must get exactly what reading it in order gives.
    void givesEveryFileTheTextTheLoaderGivesIt_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("below the helper's minimum") << int(PreviewPrefetch::MinimumForHelper - 1);
        QTest::newRow("at the minimum") << int(PreviewPrefetch::MinimumForHelper);
        QTest::newRow("a large folder") << 3001;
    }

    void givesEveryFileTheTextTheLoaderGivesIt()
    {
        QFETCH(int, count);
        NoteFolder folder;
        const QStringList names = writeMixedNotes(folder, count);
        const QString prefix = folder.path() + u'/';
        QStringList expected;
        for (const QString& name : names)
            expected.append(PreviewLoader::Load(prefix + name, Lines));

        PreviewPrefetch previews(prefix, names, Lines);
        QCOMPARE(readAll(previews, prefix, names), expected);
    }

    // A rebuild may stop part way (an error on a box skips to the next); the helper must stop
    // with it, whatever it was doing, and indexes past the list are the caller's.
    void stopsCleanlyWhenLeftPartWay()
    {
        NoteFolder folder;
        const QStringList names = writeMixedNotes(folder, 2000);
        const QString prefix = folder.path() + u'/';
        for (int taken : {0, 1, 999, 1999}) {
            PreviewPrefetch previews(prefix, names, Lines);
            for (int i = 0; i < taken; ++i)
                previews.Take(i);
        }
        PreviewPrefetch previews(prefix, names, Lines);
        QVERIFY(!previews.Take(names.size()).has_value());
        QVERIFY(!previews.Take(-1).has_value());
    }

    // Skipping indexes, as a failing step does, leaves the skipped files to nobody and the
    // rest correct.
    void skippedIndexesLeaveTheOthersRight()
    {
        NoteFolder folder;
        const QStringList names = writeMixedNotes(folder, 1000);
        const QString prefix = folder.path() + u'/';
        PreviewPrefetch previews(prefix, names, Lines);
        for (qsizetype i = 0; i < names.size(); i += 3) {
            std::optional<QString> read = previews.Take(i);
            QCOMPARE(read ? *read : PreviewLoader::Load(prefix + names[i], Lines),
                PreviewLoader::Load(prefix + names[i], Lines));
        }
    }
};

QTEST_GUILESS_MAIN(tst_previewprefetch)
#include "tst_previewprefetch.moc"

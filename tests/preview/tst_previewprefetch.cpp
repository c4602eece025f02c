#include "preview/PreviewPrefetch.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QTest>

#include <future>
#include <thread>

using preview::PreviewPrefetch;
using namespace std::chrono_literals;

namespace {

const QString Prefix = QStringLiteral("/notes/");
const QString Failure = QStringLiteral("无法加载 /notes/%1");

QStringList Names(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString::number(i));
    return names;
}

// Reads note n as "n" after a random pause of up to pauseUs, so readers finish out of order,
// having first waited for release when n is in [hangFrom, hangTo).
PreviewPrefetch::Loader Hanging(int hangFrom, int hangTo, int pauseUs, std::shared_future<void> release)
{
    return [=](const QString& path, std::int32_t) {
        const int note = path.mid(Prefix.size()).toInt();
        if (note >= hangFrom && note < hangTo)
            release.wait();
        std::this_thread::sleep_for(QRandomGenerator::global()->bounded(pauseUs) * 1us);
        return path.mid(Prefix.size());
    };
}

} // namespace

class PreviewPrefetchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Note i's text goes to note i whichever reader read it and whenever it finished, also when
    // the window skips notes (a box that failed to load) and when the pool grows because the
    // notes come late. A note whose reader never returns gets the failure text.
    void givesEachNoteItsOwnTextOrTheFailureText_data()
    {
        QTest::addColumn<int>("hangs"); // the note that never returns, -1 for none
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("pauseUs");
        QTest::addColumn<int>("step");
        QTest::newRow("readers finishing out of order") << -1 << 40 << 500 << 1;
        QTest::newRow("every third note taken") << -1 << 40 << 500 << 3;
        QTest::newRow("notes late enough for the pool to grow") << -1 << 400 << 4000 << 1;
    }
    void givesEachNoteItsOwnTextOrTheFailureText()
    {
        QFETCH(int, hangs);
        QFETCH(int, notes);
        QFETCH(int, pauseUs);
        QFETCH(int, step);
        std::promise<void> release;
        {
            PreviewPrefetch previews(
                Prefix, Names(notes), 5, Hanging(hangs, hangs + 1, pauseUs, release.get_future().share()), {});
            for (int i = 0; i < notes; i += step)
                QCOMPARE(previews.Take(i), i == hangs ? Failure.arg(i) : QString::number(i));
        }
        release.set_value(); // the reader given up returns after its pool is gone
    }

    // Regression: once the readers in flight were all given up, every note not yet read got the
    // failure text, though the drive answered again a moment later. The notes after them are now
    // owed and come late, once a stuck read returns; so do the notes in flight, so that in the
    // end every box shows its note. A newer rebuild drops the late notes of the older.
    void notesHeldUpByAPauseComeLate()
    {
        std::promise<void> release;
        QSemaphore late;
        PreviewPrefetch previews(
            Prefix, Names(200), 5, Hanging(50, 200, 200, release.get_future().share()), [&late] { late.release(); });
        QStringList boxes;
        for (int i = 0; i < 200; ++i)
            boxes << previews.Take(i);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(boxes[i], i < 50 ? QString::number(i) : Failure.arg(i));
        release.set_value();
        while (previews.Owes() && late.tryAcquire(1, 20000))
            for (const auto& [index, text] : previews.TakeLate())
                boxes[int(index)] = text;
        QCOMPARE(boxes, Names(200));
    }

    // Regression: a stuck reader kept the whole rebuild's state, the list of names and every
    // text, as long as its call did not return: over 100 MB after 60 rebuilds of a large folder
    // on a dead share. It now keeps only what its own note needs.
    void aStuckReaderKeepsOnlyItsOwnNote()
    {
        std::promise<void> release;
        QStringList names = Names(1000);
        {
            PreviewPrefetch previews(Prefix, names, 5, Hanging(0, 1000, 1, release.get_future().share()), {});
            QCOMPARE(previews.Take(0), Failure.arg(0));
            QVERIFY(!names.isDetached()); // the pool shares the list while it lives
        }
        QVERIFY(names.isDetached());
        release.set_value();
    }
};

QTEST_GUILESS_MAIN(PreviewPrefetchTest)

#include "tst_previewprefetch.moc"

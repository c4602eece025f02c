#include "preview/PreviewPrefetch.h"

#include "platform/hang/ThreadStarter.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QTest>

#include <future>
#include <system_error>
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

// What the window shows: the texts taken, then the late notes as they come.
struct Shown {
    QStringList boxes;
    QSemaphore late;

    void takeLate(PreviewPrefetch& previews)
    {
        for (const auto& [index, text] : previews.TakeLate())
            boxes[int(index)] = text;
    }
};

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
        QTest::newRow("one note of a folder never returns") << 7 << 40 << 500 << 1;
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
        Shown shown;
        auto previews = std::make_unique<PreviewPrefetch>(Prefix, Names(200), 5,
            Hanging(50, 200, 200, release.get_future().share()), [&shown] { shown.late.release(); });
        for (int i = 0; i < 200; ++i)
            shown.boxes << previews->Take(i);
        QCOMPARE(shown.boxes.mid(0, 50), Names(50));
        for (int i = 50; i < 200; ++i)
            QCOMPARE(shown.boxes[i], Failure.arg(i));
        QVERIFY(previews->Owes());
        release.set_value();
        while (previews->Owes() && shown.late.tryAcquire(1, 20000))
            shown.takeLate(*previews);
        shown.takeLate(*previews);
        QCOMPARE(shown.boxes, Names(200));
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

    // Regression: a failure to start a thread (a process limit) escaped as an exception and
    // ended the program. A pool that cannot start a reader shows the failure text.
    void aPoolThatCannotStartAReaderShowsTheFailureText()
    {
        const platform::ThreadStarter::Installed refusing([](std::function<void()>) {
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        });
        PreviewPrefetch previews(Prefix, Names(3), 5, Hanging(-1, -1, 1, {}), {});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(previews.Take(i), Failure.arg(i));
    }
};

QTEST_GUILESS_MAIN(PreviewPrefetchTest)

#include "tst_previewprefetch.moc"

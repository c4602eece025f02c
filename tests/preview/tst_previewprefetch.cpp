#include "preview/PreviewPrefetch.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <future>
#include <thread>

using preview::PreviewPrefetch;
using namespace std::chrono_literals;

namespace {

constexpr auto Deadline = 200ms;
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
// having waited for release when n is the note that hangs (-1: all do).
PreviewPrefetch::Loader Hanging(int hangs, int pauseUs, std::shared_future<void> release)
{
    return [=](const QString& path, std::int32_t) {
        if (hangs == -1 || path == Prefix + QString::number(hangs))
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
    // the caller skips notes (a box that failed to load) and when the pool grows because the
    // notes come late. A note whose reader never returns gets the failure text; a dead share
    // read again and again must not pile up threads.
    void givesEachNoteItsOwnTextOrTheFailureText_data()
    {
        QTest::addColumn<int>("hangs"); // -1: every note, -2: none
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("pauseUs");
        QTest::addColumn<int>("rebuilds");
        QTest::addColumn<int>("step");
        QTest::newRow("readers finishing out of order") << -2 << 40 << 500 << 1 << 1;
        QTest::newRow("every third note taken") << -2 << 40 << 500 << 1 << 3;
        QTest::newRow("notes late enough for the pool to grow") << -2 << 400 << 4000 << 1 << 1;
        QTest::newRow("one note of a folder never returns") << 7 << 40 << 500 << 1 << 1;
        QTest::newRow("a dead share, read again and again") << -1 << 40 << 500 << 8 << 1;
    }
    void givesEachNoteItsOwnTextOrTheFailureText()
    {
        QFETCH(int, hangs);
        QFETCH(int, notes);
        QFETCH(int, pauseUs);
        QFETCH(int, rebuilds);
        QFETCH(int, step);
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        const auto threads = [] { return int(QDir(QStringLiteral("/proc/self/task")).count()); };
        const auto before = threads();
        for (int rebuild = 0; rebuild < rebuilds; ++rebuild) {
            PreviewPrefetch previews(Prefix, Names(notes), 5, Hanging(hangs, pauseUs, released), Deadline);
            for (int i = 0; i < notes; i += step)
                QCOMPARE(previews.Take(i), hangs == -1 || i == hangs ? Failure.arg(i) : QString::number(i));
        }
        // A few threads of the runtime's own (a sanitizer's) may start meanwhile.
        QVERIFY(threads() - before <= PreviewPrefetch::MaxGivenUp + 4);
        release.set_value(); // the readers given up return after their pools are gone
    }
};

QTEST_GUILESS_MAIN(PreviewPrefetchTest)

#include "tst_previewprefetch.moc"

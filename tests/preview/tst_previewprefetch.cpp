#include "platform/runtime/CallClock.h"
#include "preview/PreviewLoader.h"
#include "preview/PreviewPrefetch.h"
#include "support/NoteFolder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <future>
#include <thread>
#include <unistd.h>

using preview::PreviewLoader;
using preview::PreviewPrefetch;
using namespace std::chrono_literals;

namespace {

constexpr auto Deadline = 200ms;
const QString Prefix = QStringLiteral("/notes/");

QStringList Names(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString::number(i));
    return names;
}

QString Failure(int note)
{
    return QStringLiteral("无法加载 /notes/%1").arg(note);
}

// Reads note n as "n", waiting first for release when note n is the one that hangs.
PreviewPrefetch::Loader Hanging(int hangs, std::shared_future<void> release)
{
    return [=](const QString& path, std::int32_t) {
        if (path == Prefix + QString::number(hangs) || hangs < 0)
            release.wait();
        return path.mid(Prefix.size());
    };
}

// Leaves a reader blocked in the kernel for good and returns from main, as closing the window
// on a drive that stopped answering does.
int LeaveAReaderStuck()
{
    PreviewPrefetch previews(
        Prefix, Names(3), 5,
        [](const QString& path, std::int32_t) {
            while (path.endsWith(u'1'))
                ::pause();
            return path.mid(Prefix.size());
        },
        Deadline);
    const QString texts = previews.Take(0) + u'|' + previews.Take(1) + u'|' + previews.Take(2);
    std::fputs(texts.toUtf8().constData(), stdout);
    return 0;
}

} // namespace

class PreviewPrefetchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Note i's text goes to note i, whichever reader read it and whenever it finished, also
    // when the caller skips notes (a box that failed to load) or stops part way.
    void givesEachNoteItsOwnText_data()
    {
        QTest::addColumn<bool>("realNotes");
        QTest::addColumn<int>("step");
        QTest::newRow("notes on disk, by the loader's rule") << true << 1;
        QTest::newRow("readers finishing in scrambled order") << false << 1;
        QTest::newRow("every third note taken") << false << 3;
    }

    void givesEachNoteItsOwnText()
    {
        QFETCH(bool, realNotes);
        QFETCH(int, step);
        NoteFolder folder;
        const QString prefix = realNotes ? folder.path() + u'/' : Prefix;
        const QStringList names = Names(realNotes ? 3001 : 300);
        for (int i = 0; realNotes && i < names.size(); i += 3) // every third note missing
            folder.write(names[i], QStringLiteral("第 %1 篇\n\n  second\n\t\n").arg(i).toUtf8());
        const PreviewPrefetch::Loader scrambled = [](const QString& path, std::int32_t) {
            std::this_thread::sleep_for(QRandomGenerator::global()->bounded(500) * 1us);
            return path.mid(Prefix.size());
        };
        PreviewPrefetch previews(prefix, names, 3, realNotes ? PreviewLoader::Load : scrambled, Deadline);
        for (int i = 0; i < names.size() - 10; i += step)
            QCOMPARE(previews.Take(i), realNotes ? PreviewLoader::Load(prefix + names[i], 3) : names[i]);
    }

    void aNoteThatNeverReturnsGetsTheFailureTextAndTheRestComplete()
    {
        std::promise<void> release;
        {
            PreviewPrefetch previews(Prefix, Names(100), 5, Hanging(7, release.get_future().share()), Deadline);
            for (int i = 0; i < 100; ++i)
                QCOMPARE(previews.Take(i), i == 7 ? Failure(7) : QString::number(i));
        }
        release.set_value(); // the reader given up returns after its pool is gone
    }

    // The deadline is on one call that makes no progress: a note whose calls keep returning
    // is waited for however long it takes.
    void aSlowNoteThatKeepsAnsweringIsWaitedFor()
    {
        PreviewPrefetch previews(
            Prefix, Names(1), 5,
            [](const QString&, std::int32_t) {
                for (int call = 0; call < 6; ++call) {
                    const platform::CallClock::Call timed;
                    std::this_thread::sleep_for(Deadline / 4);
                }
                return QStringLiteral("slow");
            },
            Deadline);
        QCOMPARE(previews.Take(0), QStringLiteral("slow"));
    }

    // A dead share read again and again must not grow the program's threads without limit.
    void readersGivenUpStayBounded()
    {
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        const auto threads = [] { return QDir(QStringLiteral("/proc/self/task")).count(); };
        const auto before = threads();
        for (int rebuild = 0; rebuild < 6; ++rebuild) {
            PreviewPrefetch previews(Prefix, Names(30), 5, Hanging(-1, released), 20ms);
            for (int i = 0; i < 30; ++i)
                QCOMPARE(previews.Take(i), Failure(i));
        }
        QVERIFY(threads() - before <= PreviewPrefetch::MaxGivenUp);
        release.set_value();
    }

    void theProgramExitsWhileAReaderIsStuck()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--leave-a-reader-stuck")});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), u"0|" + Failure(1) + u"|2");
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--leave-a-reader-stuck") == 0)
        return LeaveAReaderStuck();
    QCoreApplication application(argc, argv);
    PreviewPrefetchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewprefetch.moc"

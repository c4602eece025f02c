#include "platform/launch/ProcessLauncher.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"
#include "support/Files.h"
#include "support/StandInEditor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <memory>

using platform::ErrorCode;
using platform::ProcessLauncher;
namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

// The editor must get the note's name as the exact bytes of one argument, and nothing in the
// name may ever reach a shell: each test runs in a folder where a shell would leave MARKER,
// with the system's own programs (touch among them) on the search path.
class tst_processlauncher : public QObject {
    Q_OBJECT

    SavedSurroundings m_saved;
    std::unique_ptr<QTemporaryDir> m_work;
    StandInEditor m_editor;

    QString work() const { return m_work->path(); }
    void usePath(const QString& folder)
    {
        qputenv("PATH", QFile::encodeName(work() + u'/' + folder) + ':' + m_saved.path());
    }

private Q_SLOTS:
    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        for (const QString& folder : {u"editor"_s, u"opener"_s, u"none"_s})
            QVERIFY(QDir(work()).mkpath(folder));
        StandInEditor::install(work() + u"/editor"_s);
        StandInEditor::install(work() + u"/opener"_s, u"xdg-open"_s);
        // Without "#!" the system cannot execute it; a shell-based launcher would run its line.
        StandInEditor::install(work() + u"/none"_s, u"broken"_s, "/usr/bin/touch MARKER\n");
        QVERIFY(QDir::setCurrent(work()));
    }

    void cleanup()
    {
        const bool shellRan = QFile::exists(work() + u"/MARKER"_s);
        m_saved.restore();
        m_work.reset();
        QVERIFY(!shellRan);
    }

    void editorGetsTheExactArgument_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QList<QByteArray>>("arguments");
        auto name = [](const char* row, const QByteArray& bytes) {
            QTest::newRow(row) << u"editor"_s << u"Notepad.exe "_s + NativePath::Decode(bytes)
                               << QList<QByteArray> {bytes};
        };
        name("what a shell would run", "a;touch MARKER;$(touch MARKER)`touch MARKER` | x > 'b' & \"$HOME\" *.txt");
        name("gbk name", "\xd6\xd0\xce\xc4 (1).txt");
        name("undecodable bytes", "bad\xff\xfe.txt");
        QTest::newRow("nothing after the program") << u"editor"_s << u"Notepad.exe"_s << QList<QByteArray> {};
        QTest::newRow("only the first space separates")
            << u"editor"_s << u"Notepad.exe  two spaces "_s << QList<QByteArray> {" two spaces "};
        QTest::newRow("no editor: the desktop opener")
            << u"opener"_s << u"Notepad.exe /home/a.txt"_s << QList<QByteArray> {"/home/a.txt"};
        // xdg-open reads "--help" as its option, prints its usage and opens nothing.
        QTest::newRow("the opener never sees an option")
            << u"opener"_s << u"Notepad.exe --help.txt"_s << QList<QByteArray> {"./--help.txt"};
    }
    void editorGetsTheExactArgument()
    {
        QFETCH(QString, program);
        QFETCH(QString, commandLine);
        QFETCH(QList<QByteArray>, arguments);
        usePath(program);
        const QString record = m_editor.nextRecord(work());
        ProcessLauncher::Shell(commandLine);
        QCOMPARE(StandInEditor::argumentsOf(record), arguments);
    }

    // The pipe that reports a failed start closes on exec: an editor that inherited it would
    // keep the window waiting until the editor is closed. The stand-in runs until it is let go
    // and the test waits for it to end: left running, it would hold the output the test runner
    // reads, and keep the run waiting, until its own limit.
    void startingReturnsWhileTheEditorRuns()
    {
        StandInEditor::install(work() + u"/editor"_s, u"Notepad.exe"_s,
            "#!/bin/sh\ni=0\nwhile [ $i -lt 300 ] && [ ! -e \"$VELLUMRY_RECORD.go\" ]; do sleep 0.1; i=$((i+1)); "
            "done\n: > \"$VELLUMRY_RECORD.done\"\n");
        usePath(u"editor"_s);
        const QString record = m_editor.nextRecord(work());
        auto started = std::async(std::launch::async, [] { ProcessLauncher::Shell(u"Notepad.exe a.txt"_s); });
        const bool returned = started.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        QVERIFY(QFile(record + u".go"_s).open(QIODevice::WriteOnly));
        started.wait();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record + u".done"_s), 20000);
        QVERIFY(returned);
    }

    void programThatCannotStartIsFileNotFound_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("unknown program") << u"vellumry-no-such-program /tmp/a.txt"_s;
        QTest::newRow("no editor and no opener") << u"Notepad.exe /tmp/a.txt"_s;
        QTest::newRow("empty command line") << QString();
        QTest::newRow("file the system cannot execute") << u"broken a.txt"_s;
    }
    void programThatCannotStartIsFileNotFound()
    {
        QFETCH(QString, commandLine);
        qputenv("PATH", QFile::encodeName(work() + u"/none"_s));
        QCOMPARE(codeRaisedBy([&] { ProcessLauncher::Shell(commandLine); }), ErrorCode::FileNotFound);
    }
};

QTEST_GUILESS_MAIN(tst_processlauncher)
#include "tst_processlauncher.moc"

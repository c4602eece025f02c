#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/ProcessLauncher.h"
#include "support/ErrorOf.h"
#include "support/StandInEditor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using platform::Error;
using platform::ErrorCode;
using platform::ProcessLauncher;
namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

namespace {

ErrorCode errorOf(const std::function<void()>& call)
{
    return codeRaisedBy(call, ErrorCode::InvalidProcedureCall);
}

} // namespace

class tst_processlauncher : public QObject {
    Q_OBJECT

private:
    SavedSurroundings m_saved;
    std::unique_ptr<QTemporaryDir> m_work;
    StandInEditor m_editor;

    QString work() const { return m_work->path(); }

    // Points the recorder at a fresh record and returns its base name.
    QString nextRecord() { return m_editor.nextRecord(work()); }

    static QList<QByteArray> waitForArguments(const QString& record) { return StandInEditor::argumentsOf(record); }

    void usePath(const QStringList& folders) { qputenv("PATH", QFile::encodeName(folders.join(u':'))); }

private Q_SLOTS:
    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        QVERIFY(QDir(work()).mkpath(u"editor"_s));
        QVERIFY(QDir(work()).mkpath(u"opener"_s));
        QVERIFY(QDir(work()).mkpath(u"empty"_s));
        QVERIFY(QDir(work()).mkpath(u"my notes"_s));
        StandInEditor::install(work() + u"/editor"_s);
        StandInEditor::install(work() + u"/opener"_s, u"xdg-open"_s);
        // A shell would run "touch MARKER" in the current folder.
        QVERIFY(QDir::setCurrent(work()));
    }

    void cleanup()
    {
        m_saved.restore();
        m_work.reset();
    }

    void pathArrivesWholeAsOneArgumentAndNothingElseRuns_data()
    {
        QTest::addColumn<QString>("name");

        QTest::newRow("spaces") << u"a b  c.txt"_s;
        QTest::newRow("quotes") << u"it's \"quoted\".txt"_s;
        QTest::newRow("semicolon") << u"a;touch MARKER;.txt"_s;
        QTest::newRow("command substitution") << u"$(touch MARKER).txt"_s;
        QTest::newRow("backquotes") << u"`touch MARKER`.txt"_s;
        QTest::newRow("leading dash") << u"-rf --help.txt"_s;
        QTest::newRow("pipes and redirections") << u"a | touch MARKER > b & c.txt"_s;
        QTest::newRow("newline") << u"first\ntouch MARKER.txt"_s;
        QTest::newRow("variables and globs") << u"$HOME ~ * ?.txt"_s;
        QTest::newRow("gbk name") << NativePath::Decode("\xd6\xd0\xce\xc4 (1).txt");
        QTest::newRow("undecodable bytes") << NativePath::Decode("bad\xff\xfe.txt");
    }

    void pathArrivesWholeAsOneArgumentAndNothingElseRuns()
    {
        QFETCH(QString, name);
        usePath({work() + u"/editor"_s, QString::fromLocal8Bit(m_saved.path())});
        QString path = work() + u"/my notes/"_s + name;
        QString record = nextRecord();
        ProcessLauncher::Shell(u"Notepad.exe "_s + path);
        QCOMPARE(waitForArguments(record), (QList<QByteArray> {NativePath::Encode(path)}));
        QVERIFY(!QFile::exists(work() + u"/MARKER"_s));
    }

    void nothingAfterTheProgramMeansNoArgument()
    {
        usePath({work() + u"/editor"_s});
        for (const QString& commandLine : {u"Notepad.exe"_s, u"Notepad.exe "_s}) {
            QString record = nextRecord();
            ProcessLauncher::Shell(commandLine);
            QCOMPARE(waitForArguments(record), QList<QByteArray> {});
        }
    }

    void onlyTheFirstSpaceSeparatesTheProgram()
    {
        usePath({work() + u"/editor"_s});
        QString record = nextRecord();
        ProcessLauncher::Shell(u"Notepad.exe  two leading spaces "_s);
        QCOMPARE(waitForArguments(record), (QList<QByteArray> {" two leading spaces "}));
    }

    void editorFallsBackToTheDesktopOpener()
    {
#ifdef Q_OS_MACOS
        QSKIP("the macOS opener is the system's own 'open'");
#endif
        usePath({work() + u"/opener"_s});
        QString record = nextRecord();
        ProcessLauncher::Shell(u"Notepad.exe "_s + work() + u"/my notes/a.txt"_s);
        QCOMPARE(waitForArguments(record), (QList<QByteArray> {QFile::encodeName(work() + u"/my notes/a.txt"_s)}));
    }

    // xdg-open reads an argument starting with '-' as an option ("--help" prints its usage
    // and opens nothing), so a relative name with a leading dash reaches it as "./-name".
    void openerNeverSeesALeadingDashAsAnOption()
    {
#ifdef Q_OS_MACOS
        QSKIP("the macOS opener is the system's own 'open'");
#endif
        usePath({work() + u"/opener"_s});
        QString record = nextRecord();
        ProcessLauncher::Shell(u"Notepad.exe --help.txt"_s);
        QCOMPARE(waitForArguments(record), (QList<QByteArray> {"./--help.txt"}));

        usePath({work() + u"/editor"_s});
        record = nextRecord();
        ProcessLauncher::Shell(u"Notepad.exe --help.txt"_s);
        QCOMPARE(waitForArguments(record), (QList<QByteArray> {"--help.txt"}));
    }

    void missingProgramIsFileNotFound_data()
    {
        QTest::addColumn<QString>("commandLine");

        QTest::newRow("unknown program") << u"vellumry-no-such-program /tmp/a.txt"_s;
        QTest::newRow("no editor and no opener") << u"Notepad.exe /tmp/a.txt"_s;
        QTest::newRow("empty command line") << QString();
        QTest::newRow("leading space") << u" Notepad.exe"_s;
        QTest::newRow("missing file named by path") << u"/nonexistent/editor a.txt"_s;
        QTest::newRow("editor name in another case") << u"notepad.exe /tmp/a.txt"_s;
    }

    void missingProgramIsFileNotFound()
    {
        QFETCH(QString, commandLine);
        usePath({work() + u"/empty"_s});
        QCOMPARE(errorOf([&] { ProcessLauncher::Shell(commandLine); }), ErrorCode::FileNotFound);
    }

    // The system cannot execute a file without "#!"; a shell-based launcher would hand it to
    // /bin/sh, which would run its lines. It must fail instead.
    void fileTheSystemCannotExecuteIsFileNotFoundAndRunsNothing()
    {
        StandInEditor::install(work() + u"/editor"_s, u"broken"_s, "touch MARKER\n");
        usePath({work() + u"/editor"_s, QString::fromLocal8Bit(m_saved.path())});
        QCOMPARE(errorOf([&] { ProcessLauncher::Shell(u"broken a.txt"_s); }), ErrorCode::FileNotFound);
        QVERIFY(!QFile::exists(work() + u"/MARKER"_s));
    }
};

QTEST_GUILESS_MAIN(tst_processlauncher)
#include "tst_processlauncher.moc"

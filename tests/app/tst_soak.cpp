#include "app/frmMain.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/Window.h"
#include "platform/desktop/Application.h"
#include "platform/drives/DriveTable.h"
#include "support/FakeDrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Files = 2000;
constexpr int Rebuilds = 30;
constexpr int DragSteps = 1000;

// Resident memory in KiB, from the second field of /proc/self/statm.
long residentKiB()
{
    long total = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &total, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

QString temporaryTemplate()
{
    const QFileInfo memory(u"/dev/shm"_s);
    const QString base = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    return base + u"/tst_soak-XXXXXX"_s;
}

} // namespace

// A shortened run of bench_soak: the same folder rebuilt and the splitters dragged back and
// forth must not leave preview boxes, bound views or memory behind.
class SoakTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<app::frmMain> m_form;

    QString work() const { return QDir(m_work->path()).canonicalPath(); }
    app::frmMain& form() { return *m_form; }

    void rebuild()
    {
        form().DirList_Change();
        QCoreApplication::processEvents();
    }

    // Cycles of 20 steps one way and 20 back, so the window ends at the geometry it began
    // with; the cycles take the vertical bar, the horizontal bar and their crossing in turn.
    void dragStep(int step)
    {
        constexpr int Cycle = 40;
        const float delta = (step % Cycle) < Cycle / 2 ? 5.0f : -5.0f;
        switch ((step / Cycle) % 3) {
        case 0:
            form().picVBar_MouseMove(1, 0, 50.0f + delta, 50);
            break;
        case 1:
            form().picHBar_MouseMove(1, 0, 50, 50.0f + delta);
            break;
        default:
            form().PicHV_MouseMove(1, 0, 50.0f + delta, 50.0f + delta);
            break;
        }
        if (step % 50 == 0)
            QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::Application::ApplyDefaults();
        m_work = std::make_unique<QTemporaryDir>(temporaryTemplate());
        QVERIFY(m_work->isValid());
        const QByteArray text = "第一行 a note\n\n  line two of the note\n  line three\n";
        for (int i = 1; i <= Files; ++i) {
            const QByteArray name = QFile::encodeName(work()) + "/note " + QByteArray::number(i) + ".txt";
            const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            QVERIFY(descriptor >= 0);
            QCOMPARE(::write(descriptor, text.constData(), size_t(text.size())), ssize_t(text.size()));
            ::close(descriptor);
        }
        m_form = std::make_unique<app::frmMain>(oneDiskAt(work(), work()));
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form->Me.widget()));
    }

    void cleanupTestCase()
    {
        m_form.reset();
        m_work.reset();
    }

    void rebuildingAndDraggingLeaveNoBoxesViewsOrMemoryBehind()
    {
        rebuild();
        QCOMPARE(form().ItemCount, Files);
        const std::size_t elements = form().txtPreview.Count();
        const std::size_t views = form().txtPreview.BoundViews();
        const long first = residentKiB();
        for (int i = 1; i < Rebuilds; ++i)
            rebuild();
        QCOMPARE(form().txtPreview.Count(), elements);
        QCOMPARE(form().txtPreview.BoundViews(), views);
        form().PicHV_MouseMove(0, 0, 50, 50);
        for (int step = 0; step < DragSteps; ++step)
            dragStep(step);
        QCoreApplication::processEvents();
        QCOMPARE(form().txtPreview.Count(), elements);
        QCOMPARE(form().txtPreview.BoundViews(), views);
        const long last = residentKiB();
        qInfo("resident %ld KiB after the first rebuild, %ld KiB at the end", first, last);
#ifndef __SANITIZE_ADDRESS__
        // The sanitizers keep freed memory resident on purpose, so memory means something
        // only in the plain build.
        QVERIFY2(last * 100 <= first * 105, qPrintable(u"%1 KiB -> %2 KiB"_s.arg(first).arg(last)));
#endif
    }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"

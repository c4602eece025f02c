#include "platform/runtime/Strings.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The editor is started with the folder prefix and a file name: a missing or doubled
// separator would name another file, or none.
class tst_strings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderPrefixEndsInOneSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root stays root") << u"/"_s << u"/"_s;
        QTest::newRow("folder gains one") << u"/home/ana"_s << u"/home/ana/"_s;
        QTest::newRow("trailing one is not doubled") << u"/home/ana/"_s << u"/home/ana/"_s;
        QTest::newRow("doubled inside collapses") << u"/home//ana"_s << u"/home/ana/"_s;
        QTest::newRow("tripled loses one") << u"/home///ana"_s << u"/home//ana/"_s;
    }
    void folderPrefixEndsInOneSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(platform::Strings::FolderPrefix(path), expected);
    }
};

QTEST_GUILESS_MAIN(tst_strings)
#include "tst_strings.moc"

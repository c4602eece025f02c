// A folder of notes from many machines, through the real window: GBK minutes, Big5 reading
// notes, a Shift_JIS notice, an EUC-KR memo, a Windows-1252 note and UTF-8 notes side by side,
// named in UTF-8 by the user's own machine and in Big5 by a Taiwanese one. CTest runs this
// under a mainland Chinese and under a Taiwanese locale, each in a process of its own, since
// a process takes its locale's code page once. The notes' text is real and nobody here wrote
// it: the translations of apt, which every Debian machine has.
#include "support/Fixtures.h"

#include "platform/codepages/training/MessageCatalog.h"
#include "platform/desktop/Application.h"
#include "platform/names/NativePath.h"
#include "platform/widgets/TextEditWidget.h"

#include <QStringEncoder>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Note {
    QByteArray name; // as on disk
    QByteArray bytes;
    QString shownName;
    QString preview;
};

// Single lines of 10 to 40 characters that translators of the language wrote for apt, each
// with at least `foreign` characters beyond ASCII and held whole by the code page, from the
// skip-th such line on. A missing catalog fails the test: its notes would be empty.
QStringList Lines(const char* language, const char* codePage, int foreign, qsizetype skip)
{
    const QString path = u"/usr/share/locale/"_s + QLatin1StringView(language) + u"/LC_MESSAGES/apt.mo"_s;
    QStringList lines;
    for (const QString& text : platform::codepages::MessageCatalog::Translations(path)) {
        const auto beyondAscii = std::count_if(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
        QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(text);
        if (text.size() < 10 || text.size() > 40 || text != text.trimmed() || text.contains(u'\n')
            || text.contains(u'\t') || beyondAscii < foreign || encoder.hasError())
            continue;
        if (skip-- <= 0)
            lines << text;
        if (lines.size() == 3)
            break;
    }
    [&] { QVERIFY2(lines.size() == 3, qPrintable(path + u": too few lines; apt's translations missing?"_s)); }();
    return lines;
}

// The note's first letters after a number, as a user names a copy after its first line.
QString NameFor(int number, const QString& line)
{
    QString name = QString::number(number) + u' ';
    for (const QChar character : line) {
        if (character.isLetter() && name.size() < 10)
            name += character;
    }
    return name + u".txt"_s;
}

QByteArray Encoded(const QString& text, const char* codePage)
{
    QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

// A note named after title, its name written in nameCodePage ("UTF-8" for the user's own
// copies), its lines in codePage.
Note MakeNote(const QString& title, const char* nameCodePage, const QStringList& lines, const char* codePage)
{
    return {Encoded(title, nameCodePage), Encoded(lines.join(u"\r\n"_s) + u"\r\n"_s, codePage), title,
        lines.join(u"\r\n"_s)};
}

} // namespace

class MixedFolderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // Every box shows its note as written and every name reads as its writer named it, in the
    // list and in its box's tooltip and accessible name, whatever the locale's own code page; a
    // double-click hands the editor the name's bytes on disk. The Big5 names, one of them beside a
    // UTF-8 name that reads the same, are judged together, and under a mainland locale must win
    // over its GB18030.
    void everyNoteAndNameReadsAsWritten()
    {
        const QStringList mainland = Lines("zh_CN", "GBK", 6, 0);
        const QStringList taiwan = Lines("zh_TW", "Big5", 6, 0);
        const QStringList taiwanMore = Lines("zh_TW", "Big5", 6, 3);
        const QStringList japan = Lines("ja", "Shift_JIS", 6, 0);
        const QStringList korea = Lines("ko", "EUC-KR", 6, 0);
        const QStringList germany = Lines("de", "windows-1252", 2, 0);
        const QList<Note> notes {
            MakeNote(NameFor(1, mainland[0]), "UTF-8", mainland, "GBK"),
            MakeNote(NameFor(2, taiwan[0]), "Big5", taiwan, "Big5"),
            MakeNote(NameFor(2, taiwan[0]), "UTF-8", Lines("zh_CN", "GBK", 6, 3), "UTF-8"),
            MakeNote(NameFor(3, taiwanMore[0]), "Big5", taiwanMore, "Big5"),
            MakeNote(NameFor(4, japan[0]), "UTF-8", japan, "Shift_JIS"),
            MakeNote(NameFor(5, korea[0]), "UTF-8", korea, "EUC-KR"),
            MakeNote(NameFor(6, germany[0]), "UTF-8", germany, "windows-1252"),
        };
        Desk desk;
        desk.useStandInEditor();
        for (const Note& note : notes)
            desk.write("notes/" + note.name, note.bytes);
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        QCOMPARE(form.FileList.ListCount(), std::int16_t(notes.size()));
        auto* files = qobject_cast<QListView*>(form.FileList.widget());
        QList<QByteArray> unseen;
        for (const Note& note : notes)
            unseen << note.name;
        for (int row = 0; row < notes.size(); ++row) {
            const QByteArray onDisk = platform::NativePath::Encode(desk.path(u"notes/"_s) + form.FileList.List(row));
            const QByteArray name = onDisk.mid(onDisk.lastIndexOf('/') + 1);
            QVERIFY2(unseen.removeOne(name), name.toHex().constData()); // each file reached once
            const Note& note = *std::find_if(notes.begin(), notes.end(), [&](const Note& n) { return n.name == name; });
            QCOMPARE(files->model()->index(row, 0).data().toString(), note.shownName);
            QCOMPARE(form.txtPreview(row + 1).Text(), note.preview);
            const platform::TextEditWidget* box = form.txtPreview(row + 1).View();
            QCOMPARE(box->toolTip(), note.shownName); // regression: a Big5 name's box showed its marker
            QCOMPARE(box->accessibleName(), note.shownName);
            QCOMPARE(desk.editorArgumentsAfter([&] { desk.doubleClickName(row); }), QList<QByteArray> {onDisk});
        }
    }
};

QTEST_MAIN(MixedFolderTest)
#include "tst_mixedfolder.moc"

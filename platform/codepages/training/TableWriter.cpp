#include "platform/codepages/training/TableWriter.h"

#include "platform/codepages/LanguageTable.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace platform::codepages {

namespace {

int QuarterBits(double bits)
{
    return std::clamp(int(std::lround(bits * 4)), 0, 255);
}

// Bytes as a string literal, in octal escapes of three digits, which no following character
// can extend; compilers take a long literal far faster than a list of numbers.
QString Literal(const QList<int>& bytes)
{
    QString text;
    text.reserve(bytes.size() * 4 + bytes.size() / 20 * 4);
    text += u'"';
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 32 == 0)
            text += QStringLiteral("\"\n    \"");
        text += u'\\' + QString::number(bytes[i], 8).rightJustified(3, u'0');
    }
    text += u'"';
    return text;
}

QString Numbers(const QList<int>& values)
{
    QStringList items;
    for (const int value : values)
        items.append(QString::number(value));
    return items.join(u", ");
}

} // namespace

TableWriter::TableWriter(QTextStream& out)
    : m_out(out)
{
    m_out << "// Made at build time by make_language_tables (platform/codepages/training) from the Unihan\n"
             "// database and gettext catalogs; not to be edited.\n"
             "#include \"platform/codepages/LanguageTable.h\"\n\n"
             "#include <iterator>\n\n"
             "namespace platform::codepages {\n\nnamespace {\n\n";
}

QString TableWriter::Identifier(const QString& tag) const
{
    QString name = tag;
    return name.replace(u'-', u'_');
}

void TableWriter::Add(const QString& tag, const LanguageTrainer::Model& model)
{
    const QString name = Identifier(tag);
    QMap<int, QList<int>> blocks;
    for (auto it = model.characters.begin(); it != model.characters.end(); ++it) {
        const char32_t code = it.key();
        if (code >= 0x10000)
            continue;
        const int block = int(code / LanguageTable::BlockSize);
        auto found = blocks.find(block);
        if (found == blocks.end()) {
            QList<int> costs;
            for (int low = 0; low < LanguageTable::BlockSize; ++low)
                costs.append(QuarterBits(model.unseen[int(ClassOf(char32_t(block * LanguageTable::BlockSize + low)))]));
            found = blocks.insert(block, costs);
        }
        (*found)[int(code % LanguageTable::BlockSize)] = QuarterBits(it.value());
    }
    QList<int> index(256, LanguageTable::NoBlock);
    QList<int> costs;
    int number = 0;
    for (auto it = blocks.begin(); it != blocks.end(); ++it, ++number) {
        index[it.key()] = number;
        costs.append(it.value());
    }
    m_out << "const char " << name << "Index[] = " << Literal(index) << ";\n";
    m_out << "const char " << name << "Blocks[] = " << Literal(costs) << ";\n";
    QList<int> alphabet;
    for (const char16_t letter : model.alphabet)
        alphabet.append(letter);
    QList<int> bigram;
    for (const double cost : model.bigram)
        bigram.append(QuarterBits(cost));
    if (!model.alphabet.isEmpty()) {
        m_out << "const char16_t " << name << "Alphabet[] = {" << Numbers(alphabet) << "};\n";
        m_out << "const char " << name << "Bigram[] = " << Literal(bigram) << ";\n";
    }
    QStringList transition;
    for (const auto& row : model.transition) {
        QList<int> quarters;
        for (const double cost : row)
            quarters.append(QuarterBits(cost));
        transition.append(u'{' + Numbers(quarters) + u'}');
    }
    QList<int> unseen;
    for (const double cost : model.unseen)
        unseen.append(QuarterBits(cost));
    const auto bytes
        = [](const QString& array) -> QString { return "reinterpret_cast<const std::uint8_t*>(" + array + ")"; };
    QString entry = "    {\"" + tag + "\", {" + transition.join(u", ") + "}, {" + Numbers(unseen) + "}, "
        + bytes(name + "Index") + ", " + bytes(name + "Blocks") + ", ";
    if (model.alphabet.isEmpty())
        entry += "nullptr, 0, nullptr}";
    else
        entry += name + "Alphabet, int(std::size(" + name + "Alphabet)), " + bytes(name + "Bigram") + "}";
    m_entries.append(entry);
    m_out << "\n";
}

void TableWriter::Finish()
{
    m_out << "const LanguageTable Tables[] = {\n" << m_entries.join(u",\n") << "};\n\n} // namespace\n\n";
    m_out << "std::span<const LanguageTable> LanguageTables()\n{\n    return Tables;\n}\n\n"
             "} // namespace platform::codepages\n";
}

} // namespace platform::codepages

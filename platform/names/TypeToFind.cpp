#include "platform/names/TypeToFind.h"

#include "platform/names/NameLocale.h"
#include "platform/names/NativePath.h"

#include <algorithm>

namespace platform {

TypeToFind::TypeToFind()
    : TypeToFind(NameLocale::OfProcess().chinese ? TypedPrefix::Sound::Pinyin : TypedPrefix::Sound::Ignored,
        &std::chrono::steady_clock::now)
{
}

TypeToFind::TypeToFind(TypedPrefix::Sound sound, Clock clock)
    : m_sound(sound)
    , m_clock(std::move(clock))
{
}

int TypeToFind::Type(const QString& text, const QStringList& names, int selected)
{
    const auto now = m_clock();
    const bool anew = m_typed.isEmpty() || now - m_lastKey > Pause;
    m_lastKey = now;
    m_typed = anew ? text : m_typed + text;
    QStringView wanted = m_typed;
    bool fromNext = anew;
    if (m_typed.size() > 1 && std::all_of(m_typed.begin(), m_typed.end(), [&](QChar c) { return c == m_typed[0]; })) {
        wanted = wanted.first(1);
        fromNext = true;
    }
    // A list shares its names with every copy of it until it changes, so the same data is the
    // same list.
    if (names.constData() != m_names.constData() || names.size() != m_names.size())
        Learn(names);
    const auto count = static_cast<int>(names.size());
    if (count == 0)
        return -1;
    const int start = selected < 0 || selected >= count ? 0 : (fromNext ? selected + 1 : selected) % count;
    return find(TypedPrefix(wanted, m_sound), start);
}

int TypeToFind::find(const TypedPrefix& prefix, int start) const
{
    const auto count = static_cast<int>(m_shown.size());
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (prefix.MayBegin(m_firsts[static_cast<std::size_t>(row)]) && prefix.Begins(m_shown[row]))
            return row;
    }
    return -1;
}

void TypeToFind::Learn(const QStringList& names)
{
    m_names = names;
    m_shown.clear();
    m_shown.reserve(names.size());
    m_firsts.clear();
    m_firsts.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        m_shown.append(NativePath::ForDisplay(name));
        m_firsts.push_back(TypedPrefix::FirstOf(m_shown.back()));
    }
}

void TypeToFind::Forget()
{
    m_typed.clear();
    m_names.clear();
    m_shown.clear();
    m_firsts.clear();
}

} // namespace platform

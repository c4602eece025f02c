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
    const auto count = static_cast<int>(names.size());
    if (count == 0)
        return -1;
    const TypedPrefix prefix(wanted, m_sound);
    const int start = selected < 0 || selected >= count ? 0 : (fromNext ? selected + 1 : selected) % count;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (prefix.Begins(NativePath::ForDisplay(names[row])))
            return row;
    }
    return -1;
}

} // namespace platform

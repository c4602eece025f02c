#include "platform/names/FoldedName.h"

#include <algorithm>

namespace platform {

FoldedName::FoldedName(const QString& name)
    : m_text(name)
{
    if (std::none_of(name.begin(), name.end(), [](QChar character) { return character.isSurrogate(); }))
        return;
    m_whole = name.toCaseFolded();
    m_text = m_whole;
    m_mode = Mode::FoldedWhole;
}

} // namespace platform

// The reference the fuzz target holds the text input to: a whole-file decoder's lines, where
// the outcome is beyond doubt.
#pragma once

#include "platform/files/TextInput.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace fuzz {

// The lines a whole-file decoder gives for a file within the bound that is entirely valid
// UTF-8 with its mark, or without it and without a NUL, or UTF-16 with a mark and whole code
// units, with the encoding the input must report in `expected`. Anything else has no reference
// and only the general rules apply to it.
std::optional<QStringList> ReferenceLines(const QByteArray& content, platform::TextInput::Encoding& expected);

} // namespace fuzz

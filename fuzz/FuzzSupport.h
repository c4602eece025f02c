// What every check of the fuzz target shares: how a broken rule is reported, and the one file
// each input is written to.
#pragma once

#include <QString>

#include <cstddef>

namespace fuzz {

// Prints what broke and aborts, so that the fuzzer keeps the input that did it.
[[noreturn]] void Fail(const char* rule, const QString& detail = {});
// Shows a line with its control characters and non-ASCII spelled out, for the report.
QString Visible(const QString& text);

// The path of the file every input is written to; see the source for where it lives.
const QString& InputPath();
void WriteInput(const QString& path, const char* bytes, std::size_t count);

} // namespace fuzz

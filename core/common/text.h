#pragma once
// Text rules shared by the whole core. Texts are UTF-8. "Ignoring letter case" folds the letter
// pairs of Windows-1252: ASCII, the Latin-1 letters (the German umlauts among them), Š/š, Œ/œ,
// Ž/ž and Ÿ/ÿ. Every pair has the same UTF-8 length, so byte lengths stay unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmaro {

std::string UpperCase(std::string_view text);

// Byte position of the first occurrence of needle at or after from, ignoring letter case.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// True when haystack contains needle, ignoring letter case. An empty haystack contains nothing;
// an empty needle is found in any other text.
bool ContainsNoCase(std::string_view haystack, std::string_view needle);

bool EqualsNoCase(std::string_view a, std::string_view b);

// Replaces the first occurrence of find (ignoring letter case) by replacement; false if none.
bool ReplaceFirstNoCase(std::string& text, std::string_view find, std::string_view replacement);

// Removes every occurrence of what, letter case significant.
std::string RemoveAll(std::string_view text, std::string_view what);

// Removes blanks (spaces only) at both ends.
std::string TrimBlanks(std::string_view text);

// A decimal number with optional blanks around it, an optional sign and an optional fraction
// after a full stop ("12", " 4 ", "-3", "2.5"). Anything else is not a number.
std::optional<double> ParseNumber(std::string_view text);

// Rounds half to even and converts to a 16-bit signed number; nothing when out of range.
std::optional<std::int16_t> RoundToInt16(double value);

// Appends a code point as UTF-8 (one to four bytes).
void AppendUtf8(std::string& out, char32_t codePoint);

// "*(COM#)*" or "*(COM##)*": a port tag with one or two digits somewhere in the text.
bool MatchesPortTagPattern(std::string_view text);

// "COM#" or "COM##" as the whole text.
bool MatchesComNamePattern(std::string_view text);

}  // namespace velmaro

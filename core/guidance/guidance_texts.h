#pragma once
// The German explanations of the guidance dialog: 31 fixed paragraphs and, per problem code, which
// of them make up the text, whether the dialog asks a question and what "Ja" then opens.
#include <span>
#include <string>
#include <string_view>

namespace velmaro {

inline constexpr int kGuidanceParagraphCount = 31;
// In a composition: an empty paragraph, which leaves one blank line.
inline constexpr int kBlankLine = 0;
inline constexpr std::string_view kLineBreak = "\r\n";

// Paragraph T1..T31 by its number; "" for any other number.
std::string_view GuidanceParagraph(int number);

struct ProblemGuidance {
    std::string_view code;
    std::span<const int> paragraphs;  // paragraph numbers in order, kBlankLine for a blank line
    bool asksQuestion = false;        // "Ja" and "Nein" instead of "OK"
    std::string_view action;          // what "Ja" opens: the help marker, a forum address or ""
};

// Every code the dialog knows, in the order in which a code is tested against them.
std::span<const ProblemGuidance> GuidanceTable();

// The first entry whose code equals code exactly (letter case included), or nullptr.
const ProblemGuidance* FindGuidance(std::string_view code);

// The paragraphs joined with CR LF.
std::string ComposeGuidanceText(const ProblemGuidance& guidance);

}  // namespace velmaro

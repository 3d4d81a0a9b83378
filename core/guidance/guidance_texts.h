#pragma once
// The German explanations of the guidance dialog: 31 fixed paragraphs and, per problem code, which
// of them make up the text, whether the dialog asks a question and what "Ja" then opens. A second
// set gives the same codes repair steps that make sense on Linux, where there is no Device Manager,
// no administrator account and no driver installer.
#include <span>
#include <string>
#include <string_view>

namespace velmaro {

inline constexpr int kGuidanceParagraphCount = 31;
// In a composition: an empty paragraph, which leaves one blank line.
inline constexpr int kBlankLine = 0;
inline constexpr std::string_view kLineBreak = "\r\n";
// Paragraph numbers above this one are the Linux paragraphs: kLinuxParagraphs + 1 is the first.
inline constexpr int kLinuxParagraphs = 100;
inline constexpr int kLinuxParagraphCount = 16;

// Which repair steps the dialog gives. The platform chooses; Windows is the program's own set.
enum class GuidancePlatform { Windows, Linux };

// Paragraph T1..T31, or a Linux paragraph, by its number; "" for any other number.
std::string_view GuidanceParagraph(int number);

struct ProblemGuidance {
    std::string_view code;
    std::span<const int> paragraphs;  // paragraph numbers in order, kBlankLine for a blank line
    bool asksQuestion = false;        // "Ja" and "Nein" instead of "OK"
    std::string_view action;          // what "Ja" opens: the help marker, a forum address or ""
};

// Every code the dialog knows, in the order in which a code is tested against them. Both sets have
// the same codes, questions and actions in the same order; only the paragraphs differ.
std::span<const ProblemGuidance> GuidanceTable(GuidancePlatform platform = GuidancePlatform::Windows);

// The first entry whose code equals code exactly (letter case included), or nullptr.
const ProblemGuidance* FindGuidance(std::string_view code, GuidancePlatform platform = GuidancePlatform::Windows);

// The paragraphs joined with CR LF.
std::string ComposeGuidanceText(const ProblemGuidance& guidance);

}  // namespace velmaro

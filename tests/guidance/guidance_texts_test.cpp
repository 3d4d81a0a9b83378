#include "guidance/guidance_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmaro {
namespace {

// The paragraphs as the program words them, typos and inner quotes included.
const char* const kExpectedParagraphs[31] = {
    /* T1 */
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "fehlt der passende Treiber.",
    /* T2 */
    "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, jedoch "
    "fehlt der passende Treiber.",
    /* T3 */
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ usb2vcom angeschlossen, jedoch fehlt der passende Treiber.",
    /* T4 */
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ FTDI2XX angeschlossen, jedoch fehlt der passende Treiber.",
    /* T5 */ "An Ihrem PC ist ein Wandel / Datenkabel vom Typ OTI angeschlossen, jedoch fehlt der passende Treiber.",
    /* T6 */
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ CP210x (CP2101/CP2102) der Firma Silicon Laboratories "
    "angeschlossen, jedoch fehlt der passende Treiber.",
    /* T7 */
    "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender Treiber "
    "installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht arbeiten.",
    /* T8 */
    "Zusammen mit diesem Programm wurde eine Anleitung installiert, die unter anderem beschreibt, wie man das Problem "
    "löst.",
    /* T9 */
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und bearbeiten Sie den Abschnitt \"Den virtuelle COM Port "
    "prüfen > Probleme\"",
    /* T10 */
    "Zur Lösung benötigen Sie zunächst Administatorrechte. Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie "
    "sich ab und als Administrator an. Rufen Sie dann von diesem Programm aus den Gerätemanager auf.",
    /* T11 */
    "Unter Anschlüsse finden Sie im Gerätemanager ein USB DEVICE bzw. ein Siemens USB Datenkabel mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.",
    /* T12 */
    "Unter \"Anschlüsse\" oder \"Andere Geräte\" finden Sie im Gerätemanager ein USB-UART Controller mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.",
    /* T13 */
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB <> Serial\" "
    "mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. "
    "Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.",
    /* T14 */
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB-UART Tx "
    "Line\" mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie "
    "Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.",
    /* T15 */
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"CP210x USB to "
    "UART Bridge Controller\" oder einen \"USB-UART Controller\" mit einem gelben Ausrufezeichen als Symbol. Machen "
    "Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der "
    "Liste.",
    /* T16 */
    "Ziehen Sie dann das Kabel ab und installieren Sie den Treiber, den der Hersteller bzw. Händler mitgeliefert hat. "
    "Schließen Sie danach das Kabel wieder an und das Problem sollte gelöst sein.",
    /* T17 */
    "Evtl. muß das Kabel nach der Installation noch einmal abgezogen und neu angesteckt werden, damit es endgültig "
    "erkannt wird.",
    /* T18 */
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "ist der bereitgestellte, virtuelle COM Port doppelt belegt - siehe Tabelle.",
    /* T19 */
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, virtuelle COM "
    "Port doppelt belegt - siehe Tabelle.",
    /* T20 */
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Im Dorvatek Supportforum gibt es eine Anleitung, wie Sie das Problem beheben können.",
    /* T21 */ "Soll die Anleitung im Internet aufgerufen werden?",
    /* T22 */ "Der COM Port ist mehrfach belegt - siehe Tabelle.",
    /* T23 */
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Allgemein dürfte kein Programm in der Lage sein, mit dem Port zu Arbeiten.",
    /* T24 */
    "Bitte wenden Sie sich an der Hersteller oder Verkäufer des Geräts. In der Regel kann man die zugewiesenen Ports "
    "manuell ändern und so die Doppelbelegung auflösen. Sie sollten dem Gerät, das Sie zuletzt installiert haben bzw. "
    "dem unwichtigeren oder extern oder seltener angeschlossenen Gerät einen neuen COM Port zuweisen, anstatt ein "
    "wichtiges Gerät zu ändern. Klassisch verursachen z.B. neu angeschlossene USB Datenkabel das Problem und dieses "
    "Gerät gilt es zu ändern.",
    /* T25 */ "Meistens erreichen Sie diese Einstellung wie folgt:",
    /* T26 */
    "Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie sich ab und als Administrator an. Rufen Sie dann von "
    "diesem Programm aus den Gerätemanager auf.",
    /* T27 */
    "Machen Sie einen Rechtklick auf das betroffene Gerät im Gerätemanager und wählen Sie Eigenschaften. Es erscheint "
    "ein Fenster Eigenschaften des Geräts.",
    /* T28 */
    "Wechseln Sie auf die Registerkarte \"Anschlußeinstellungen (Port Settings)\" und klicken Sie dort den Knopf "
    "\"Erweitert (Advanced)\" am untern Fensterrand.",
    /* T29 */
    "Sie sollten nun ein Fenster sehen, in dem Sie die zugewiesene COM Port Nummer auswählen können. Ändern Sie die "
    "Auswahl auf eine Nummer, die von Windows als nicht belegt angezeigt wird und schließen Sie alle Fenster mit OK "
    "bzw. übernehmen",
    /* T30 */
    "Ziehen Sie abschließend das USB Kabel einmal ab, warten Sie ein paar Sekunden und schließen Sie es wieder an die "
    "gleiche USB Buchse an. Erst dadurch wird die Änderung auch wirklich übernommen.",
    /* T31 */ "Diese Programm sollte für das Gerät danach keinen mehrfach belegten Port mehr anzeigen.",
};

std::string Paragraph(int number) {
    return number == 0 ? std::string() : kExpectedParagraphs[number - 1];
}

std::string Join(const std::vector<int>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += Paragraph(numbers[i]);
    }
    return text;
}

TEST(GuidanceParagraphs, EveryParagraphLetterForLetter) {
    for (int number = 1; number <= 31; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(GuidanceParagraph(number), kExpectedParagraphs[number - 1]);
    }
}

TEST(GuidanceParagraphs, OutsideTheTableIsEmpty) {
    EXPECT_EQ(GuidanceParagraph(0), "");
    EXPECT_EQ(GuidanceParagraph(32), "");
    EXPECT_EQ(GuidanceParagraph(-1), "");
}

TEST(GuidanceParagraphs, WordingIsKeptAsShipped) {
    EXPECT_NE(GuidanceParagraph(3).find("ein Wandel /"), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(10).find("Administatorrechte"), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(11).find("Rechtklick"), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(13).find("\"USB <> Serial\""), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(23).find("zu Arbeiten."), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(24).find("an der Hersteller"), std::string_view::npos);
    EXPECT_NE(GuidanceParagraph(28).find("am untern Fensterrand"), std::string_view::npos);
    EXPECT_EQ(GuidanceParagraph(29).back(), 'n');  // "übernehmen" without a full stop
    EXPECT_EQ(GuidanceParagraph(31).substr(0, 14), "Diese Programm");
}

TEST(GuidanceCompositions, X40FullText) {
    const std::string expected =
        "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 "
        "angeschlossen, jedoch fehlt der passende Treiber.\r\n"
        "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender "
        "Treiber installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht "
        "arbeiten.\r\n"
        "\r\n"
        "Zusammen mit diesem Programm wurde eine Anleitung installiert, die unter anderem beschreibt, wie man das "
        "Problem löst.\r\n"
        "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und bearbeiten Sie den Abschnitt \"Den virtuelle "
        "COM Port prüfen > Probleme\"";
    const ProblemGuidance* guidance = FindGuidance("PROBLEM_X40");
    ASSERT_NE(guidance, nullptr);
    EXPECT_EQ(ComposeGuidanceText(*guidance), expected);
}

TEST(GuidanceCompositions, X510FullText) {
    const std::string expected =
        "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, "
        "jedoch fehlt der passende Treiber.\r\n"
        "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender "
        "Treiber installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht "
        "arbeiten.\r\n"
        "\r\n"
        "Zur Lösung benötigen Sie zunächst Administatorrechte. Wenn Sie als eingeschränkter Benutzer arbeiten, "
        "melden Sie sich ab und als Administrator an. Rufen Sie dann von diesem Programm aus den Gerätemanager "
        "auf.\r\n"
        "Unter Anschlüsse finden Sie im Gerätemanager ein USB DEVICE bzw. ein Siemens USB Datenkabel mit einem "
        "gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. "
        "Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.\r\n"
        "Ziehen Sie dann das Kabel ab und installieren Sie den Treiber, den der Hersteller bzw. Händler "
        "mitgeliefert hat. Schließen Sie danach das Kabel wieder an und das Problem sollte gelöst sein.\r\n"
        "Evtl. muß das Kabel nach der Installation noch einmal abgezogen und neu angesteckt werden, damit es "
        "endgültig erkannt wird.";
    const ProblemGuidance* guidance = FindGuidance("PROBLEM_X510");
    ASSERT_NE(guidance, nullptr);
    EXPECT_EQ(ComposeGuidanceText(*guidance), expected);
}

struct CompositionCase {
    const char* code;
    std::vector<int> paragraphs;  // 0: blank line
    bool asks;
    const char* action;
};

const std::vector<CompositionCase>& Compositions() {
    static const std::vector<CompositionCase> cases = {
        {"PROBLEM_X40", {1, 7, 0, 8, 9}, true, "Local x40 HelP"},
        {"PROBLEM_X510", {2, 7, 0, 10, 11, 16, 17}, false, ""},
        {"PROBLEM_USB2VCOM", {3, 7, 0, 10, 12, 16, 17}, false, ""},
        {"PROBLEM_FTDI2XX", {4, 7, 0, 10, 13, 16, 17}, false, ""},
        {"PROBLEM_OTI", {5, 7, 0, 10, 14, 16, 17}, false, ""},
        {"PROBLEM_CP210X", {6, 7, 0, 10, 15, 16, 17}, false, ""},
        {"PROBLEM_2XUSED_X40",
         {18, 20, 21},
         true,
         "https://forum.velmaro.example/community/board/showthread.php?t=14785"},
        {"PROBLEM_2XUSED_510",
         {19, 20, 21},
         true,
         "https://forum.velmaro.example/community/board/showthread.php?t=13903"},
        {"PROBLEM_2XUSED_USB2VCOM", {22, 23, 24, 0, 25, 26, 27, 28, 29, 30, 31}, false, ""},
        {"PROBLEM_2XUSED_OTHER", {22, 23, 24, 0, 25, 26, 27, 28, 29, 30, 31}, false, ""},
    };
    return cases;
}

TEST(GuidanceCompositions, EveryCodeInTableOrder) {
    auto table = GuidanceTable();
    ASSERT_EQ(table.size(), Compositions().size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& expected = Compositions()[i];
        SCOPED_TRACE(expected.code);
        EXPECT_EQ(table[i].code, expected.code);
        EXPECT_EQ(ComposeGuidanceText(table[i]), Join(expected.paragraphs));
        EXPECT_EQ(table[i].asksQuestion, expected.asks);
        EXPECT_EQ(table[i].action, expected.action);
        EXPECT_EQ(FindGuidance(expected.code), &table[i]);
    }
}

TEST(GuidanceCompositions, NoTextStartsOrEndsWithALineBreak) {
    for (const auto& entry : GuidanceTable()) {
        SCOPED_TRACE(entry.code);
        std::string text = ComposeGuidanceText(entry);
        EXPECT_NE(text.substr(0, 2), "\r\n");
        EXPECT_NE(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos);
    }
}

TEST(GuidanceCompositions, MissingDriverTextsHaveOneBlankLineAfterTheSecondParagraph) {
    const std::pair<const char*, int> firstParagraphs[] = {{"PROBLEM_X40", 1},      {"PROBLEM_X510", 2},
                                                           {"PROBLEM_USB2VCOM", 3}, {"PROBLEM_FTDI2XX", 4},
                                                           {"PROBLEM_OTI", 5},      {"PROBLEM_CP210X", 6}};
    for (const auto& [code, first] : firstParagraphs) {
        SCOPED_TRACE(code);
        std::string text = ComposeGuidanceText(*FindGuidance(code));
        std::size_t blank = text.find("\r\n\r\n");
        ASSERT_NE(blank, std::string::npos);
        EXPECT_EQ(text.substr(0, blank), Join({first, 7}));
        EXPECT_EQ(text.find("\r\n\r\n", blank + 1), std::string::npos);
    }
}

TEST(GuidanceLookup, CodesMatchExactly) {
    for (const char* code : {"problem_x40", "Problem_X40", "PROBLEM_X40 ", " PROBLEM_X40", "PROBLEM_X4", "",
                             "PROBLEM_2XUSED", "PROBLEM_2XUSED_other"}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(FindGuidance(code), nullptr);
    }
}

TEST(GuidanceLookup, ForumAddressesLiveOnTheForumHost) {
    for (const auto& entry : GuidanceTable()) {
        if (entry.asksQuestion && entry.action != "Local x40 HelP") {
            EXPECT_EQ(entry.action.substr(0, 29), "https://forum.velmaro.example");
            EXPECT_NE(entry.action.find("/community/board/showthread.php?t="), std::string_view::npos);
        }
    }
}

}  // namespace
}  // namespace velmaro

#pragma once
// The port list lvwPorts: a report list with the columns "COM Port" and "Beschreibung". A row
// says what it is; its look (bold, colour, icon) follows from that in one place, LookOf.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/problem_codes.h"

namespace velmaro {

// Colours with red in the low byte.
inline constexpr std::uint32_t kColorProblem = 192;    // red 192
inline constexpr std::uint32_t kColorSiemens = 32768;  // green 128

// Small-icon keys of the image list ilst, in image order.
inline constexpr const char* kIconUsb = "USB";
inline constexpr const char* kIconWarning = "WARNING";
inline constexpr const char* kIconBluetooth = "BT";
inline constexpr const char* kIconIrda = "IRDA";
inline constexpr const char* kIconCom = "COM";

// Shown below the list while some row reports a problem.
inline constexpr const char* kProblemLineText =
    "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch laden. "
    "Evtl. werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion dauerhaft bestehen, "
    "erhalten Sie mit einem Klick auf den Eintrag weitere Details.";
// The same on Linux, where the kernel loads a driver module by itself.
inline constexpr const char* kProblemLineTextLinux =
    "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß das System das Treibermodul noch "
    "laden. Bleibt das Problem dauerhaft bestehen, erhalten Sie mit einem Klick auf den Eintrag weitere Details.";

enum class RowKind {
    Port,              // a port as its device describes it
    SiemensCable,      // a port of a Siemens cable, the only device on its number
    DoubleAssignment,  // one of several devices on the same number
    DriverProblem,     // a cable without working driver, found by the driver scan
};

// One row of the list by its meaning.
struct PortRow {
    RowKind kind = RowKind::Port;
    std::string text;         // "COM " and the number, or "Warnung"
    std::string description;  // the column "Beschreibung"
    std::optional<ProblemCode> problem;
    FillIns fillIns{};  // what the guidance of the problem names: chip, port, program
    friend bool operator==(const PortRow&, const PortRow&) = default;
};

enum class Emphasis { None, Problem, Siemens };

// How a row is drawn: bold and coloured alike in both columns, or neither.
struct RowLook {
    std::string_view icon;
    Emphasis emphasis = Emphasis::None;
    bool Bold() const { return emphasis != Emphasis::None; }
    // kColorProblem or kColorSiemens; nothing keeps the list's default colour.
    std::optional<std::uint32_t> Color() const;
};

RowLook LookOf(const PortRow& row);

// True when some row is drawn with the warning icon.
bool ShowsProblemLine(std::span<const PortRow> rows);

// Rows are addressed by their 1-based position. Any operation may throw where the underlying
// control fails; the callers treat that as a run-time failure.
class IPortList {
  public:
    virtual ~IPortList() = default;
    virtual void Clear() = 0;
    // Appends a row and returns its position.
    virtual int AddRow(const std::string& text, const std::string& iconKey) = 0;
    virtual int Count() const = 0;
    virtual std::string Text(int row) const = 0;
    virtual std::string SubItem(int row) const = 0;
    virtual void SetSubItem(int row, const std::string& text) = 0;
    virtual std::string Icon(int row) const = 0;
    virtual void SetIcon(int row, const std::string& iconKey) = 0;
    virtual std::string Tag(int row) const = 0;
    virtual void SetTag(int row, const std::string& tag) = 0;
    virtual void SetBold(int row, bool bold) = 0;
    virtual void SetSubItemBold(int row, bool bold) = 0;
    virtual void SetForeColor(int row, std::uint32_t color) = 0;
    virtual void SetSubItemForeColor(int row, std::uint32_t color) = 0;
};

// Appends the rows to the list, each with its look and its problem code as tag.
void AppendRows(IPortList& list, std::span<const PortRow> rows);

// A shown row as a screen reader reads it: "COM 7, <description>", and ", Problem" where the row
// carries a problem tag.
std::string SpokenRow(const std::string& text, const std::string& subItem, const std::string& tag);

// What a list control holds for one row.
struct ShownRow {
    std::string text;
    std::string subItem;
    std::string icon;
    std::string tag;
    bool bold = false;
    bool subItemBold = false;
    std::optional<std::uint32_t> foreColor;
    std::optional<std::uint32_t> subItemForeColor;
    friend bool operator==(const ShownRow&, const ShownRow&) = default;
};

// The list as plain data: views draw it, tests read it.
class PortListModel : public IPortList {
  public:
    void Clear() override;
    int AddRow(const std::string& text, const std::string& iconKey) override;
    int Count() const override;
    std::string Text(int row) const override;
    std::string SubItem(int row) const override;
    void SetSubItem(int row, const std::string& text) override;
    std::string Icon(int row) const override;
    void SetIcon(int row, const std::string& iconKey) override;
    std::string Tag(int row) const override;
    void SetTag(int row, const std::string& tag) override;
    void SetBold(int row, bool bold) override;
    void SetSubItemBold(int row, bool bold) override;
    void SetForeColor(int row, std::uint32_t color) override;
    void SetSubItemForeColor(int row, std::uint32_t color) override;

    const std::vector<ShownRow>& Rows() const { return rows_; }

  private:
    ShownRow& At(int row);
    const ShownRow& At(int row) const;
    std::vector<ShownRow> rows_;
};

}  // namespace velmaro

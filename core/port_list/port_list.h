#pragma once
// The port list lvwPorts: a report list with the columns "COM Port" and "Beschreibung". Both the
// driver-problem scan and the refresh write to it, so it lives apart from either.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // The colour last set on the row; nothing while it keeps the list's default colour.
    virtual std::optional<std::uint32_t> ForeColor(int row) const = 0;
};

struct PortRow {
    std::string text;
    std::string subItem;
    std::string icon;
    std::string tag;
    bool bold = false;
    bool subItemBold = false;
    std::optional<std::uint32_t> foreColor;
    std::optional<std::uint32_t> subItemForeColor;
    friend bool operator==(const PortRow&, const PortRow&) = default;
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
    std::optional<std::uint32_t> ForeColor(int row) const override;

    const std::vector<PortRow>& Rows() const { return rows_; }

  private:
    PortRow& At(int row);
    const PortRow& At(int row) const;
    std::vector<PortRow> rows_;
};

}  // namespace velmaro

#include <gtest/gtest.h>

#include "main_window/list_follow.h"
#include "presenter_fixture.h"

namespace velmaro {
namespace {

TEST(ListFollow, FollowRefresh) {
    using Keys = std::vector<std::string>;
    using Ports = std::vector<bool>;
    struct Case {
        const char* name;
        std::optional<Keys> before;
        ListPlace place;
        Keys after;
        Ports ports;
        ListFollow follow;
    };
    // A, B, C, D ports; W a warning row.
    const Case cases[] = {
        {"first refresh: nothing is new", std::nullopt, {}, {"A", "B"}, {true, true}, {}},
        {"nothing changed", Keys{"A", "B", "W"}, {2, 1}, {"A", "B", "W"}, {true, true, false}, {2, false, 1}},
        {"a port appeared: selected, the top row kept",
         Keys{"A", "B", "W"}, {2, 2}, {"A", "C", "B", "W"}, {true, true, true, false}, {2, true, 3}},
        {"two appeared: the first in row order", Keys{"A"}, {1, 1}, {"D", "A", "C"}, {true, true, true}, {1, true, 2}},
        {"a port appeared, nothing was selected", Keys{"A"}, {0, 1}, {"A", "C"}, {true, true}, {2, true, 1}},
        {"the selected row moved up", Keys{"A", "B", "W"}, {3, 1}, {"B", "W"}, {true, false}, {2, false, 0}},
        {"the selected port went", Keys{"A", "B"}, {2, 2}, {"A"}, {true}, {0, false, 0}},
        {"a new warning row is no new port", Keys{"A"}, {1, 1}, {"A", "W"}, {true, false}, {1, false, 1}},
        {"a place beyond the old rows", Keys{"A", "B"}, {5, 3}, {"A", "B"}, {true, true}, {0, false, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FollowRefresh(c.before, c.place, c.after, c.ports), c.follow) << c.name;
    }
}

TEST(ListFollow, RowKeysAndToolTips) {
    identity::PortIdentity ftdi;
    ftdi.com = 7;
    ftdi.path = "/dev/ttyUSB0";
    ftdi.vid = 0x0403;
    ftdi.pid = 0x6001;
    ftdi.serial = "A50285BI";
    ftdi.driver = "ftdi_sio";
    ftdi.instance = "USB\\VID_0403&PID_6001\\A50285BI";
    identity::PortIdentity uart;
    uart.com = 1;
    uart.path = "/dev/ttyS0";
    uart.driver = "serial";
    const PortRow com7{RowKind::Port, "COM 7", "FT232R USB UART [/dev/ttyUSB0]", std::nullopt};
    const PortRow com8{RowKind::Port, "COM 8", "FT232R USB UART [/dev/ttyUSB0]", std::nullopt};
    const PortRow warning{RowKind::DriverProblem, "Warnung", "FTDI FT232R (0403:6001) ohne Treiber", std::nullopt};

    // A renumbered port is the same row; rows without port go by their texts.
    EXPECT_EQ(RowKey(com7, ftdi), RowKey(com8, ftdi));
    EXPECT_NE(RowKey(com7, std::nullopt), RowKey(com8, std::nullopt));
    EXPECT_NE(RowKey(warning, std::nullopt), RowKey(com7, ftdi));

    EXPECT_EQ(RowToolTip(ftdi), "Gerät: /dev/ttyUSB0\nVID:PID: 0403:6001\nSeriennummer: A50285BI\nTreiber: ftdi_sio");
    EXPECT_EQ(RowToolTip(uart), "Gerät: /dev/ttyS0\nTreiber: serial");
    EXPECT_EQ(RowToolTip(std::nullopt), "");
}

// A device event refreshes at once, with the interval the timer has after a tick; not while the timer
// is off (the guidance dialog is open, or a refresh runs), when the next tick will do.
TEST(ListFollow, DeviceChangedRefreshesWhileTheTimerRuns) {
    for (const bool timerOn : {true, false}) {
        testing::PresenterRig rig;
        rig.Start();
        rig.AddCom1();
        rig.view.enabled = timerOn;
        rig.presenter.DeviceChanged();
        EXPECT_EQ(rig.view.rows.Count(), timerOn ? 1 : 0) << timerOn;
        EXPECT_EQ(rig.view.log, timerOn ? "interval 1500, off, busy, default, on" : "") << timerOn;
    }
}

}  // namespace
}  // namespace velmaro

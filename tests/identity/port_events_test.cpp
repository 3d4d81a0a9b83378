#include <gtest/gtest.h>

#include "identity/port_events.h"

namespace velmaro::identity {
namespace {

PortIdentity Port(const char* instance, int com, std::vector<ProblemCode> problems = {}) {
    PortIdentity port;
    port.instance = instance;
    port.com = com;
    port.path = "\\\\.\\COM" + std::to_string(com);
    port.problems = std::move(problems);
    return port;
}

TEST(PortEvents, DiffPorts) {
    const PortIdentity a = Port("USB\\A\\1", 3), b = Port("USB\\B\\2", 5), c = Port("USB\\C\\3", 7);
    const PortIdentity bTwice = Port("USB\\B\\2", 5, {ProblemCode::TwiceUsedOther});
    const PortIdentity aRenumbered = Port("USB\\A\\1", 4);
    using E = std::vector<PortEvent>;
    struct Case {
        const char* name;
        std::vector<PortIdentity> before, after;
        E events;
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}},
        {"first look", {}, {a, b}, {{PortEventKind::Add, a}, {PortEventKind::Add, b}}},
        {"same", {a, b}, {a, b}, {}},
        {"unplugged", {a, b, c}, {a, c}, {{PortEventKind::Remove, b}}},
        {"plugged", {a, c}, {a, b, c}, {{PortEventKind::Add, b}}},
        {"a problem appears", {a, b}, {a, bTwice}, {{PortEventKind::Change, bTwice}}},
        {"and clears", {a, bTwice}, {a, b}, {{PortEventKind::Change, b}}},
        {"renumbered", {a}, {aRenumbered}, {{PortEventKind::Change, aRenumbered}}},
        {"removals first", {a, b}, {c, a}, {{PortEventKind::Remove, b}, {PortEventKind::Add, c}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DiffPorts(c.before, c.after), c.events) << c.name;
    }
}

TEST(PortEvents, PortsOfRowsKeepsEachDeviceOnce) {
    const PortIdentity a = Port("USB\\A\\1", 3), b = Port("USB\\B\\2", 5);
    PortIdentity noInstance = Port("", 9);
    const auto ports = PortsOfRows({a, std::nullopt, b, a, noInstance});
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0], a);
    EXPECT_EQ(ports[1], b);
    EXPECT_EQ(PortKey(ports[2]), "\\\\.\\COM9");
    EXPECT_EQ(EventName(PortEventKind::Remove), "remove");
}

}  // namespace
}  // namespace velmaro::identity

// Whether a display answers: where its name says it listens, and that one
// which takes connections but never answers counts as none.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/sdl/sdl_internal.h"

namespace {

struct XNameRow {
    const char* name;
    bool valid;
    bool local;
    const char* host;
    int number;
};

TEST(SdlDisplayNames, AnXDisplayNameSaysWhereItListens)
{
    const XNameRow rows[] = {
        {":0", true, true, "", 0},
        {":12.1", true, true, "", 12},
        {"unix:3", true, true, "", 3},
        {"localhost:10.0", true, false, "localhost", 10},  // an ssh session's
        {"tcp/server:2", true, false, "server", 2},
        {"", false, false, "", 0},
        {":", false, false, "", 0},
        {":none", false, false, "", 0},
        {"/private/tmp/launch-x/org.x:0", false, false, "", 0},
    };
    for (const XNameRow& row : rows) {
        SdlXAddress address;
        EXPECT_EQ(SdlParseXDisplay(row.name, &address), row.valid) << row.name;
        if (!row.valid)
            continue;
        EXPECT_EQ(address.local, row.local) << row.name;
        EXPECT_EQ(address.host, row.host) << row.name;
        EXPECT_EQ(address.number, row.number) << row.name;
    }
    SdlXAddress address;
    EXPECT_FALSE(SdlParseXDisplay(nullptr, &address));
}

TEST(SdlDisplayNames, AWaylandNameIsASocketInTheRuntimeFolderAndAnEmptyOneIsNone)
{
    EXPECT_EQ(SdlWaylandSocketPath(nullptr, "/run/user/7"), "/run/user/7/wayland-0");
    EXPECT_EQ(SdlWaylandSocketPath("wayland-1", "/run/user/7"), "/run/user/7/wayland-1");
    EXPECT_EQ(SdlWaylandSocketPath("/tmp/compositor", nullptr), "/tmp/compositor");
    EXPECT_EQ(SdlWaylandSocketPath("", "/run/user/7"), "");
    EXPECT_EQ(SdlWaylandSocketPath("wayland-1", nullptr), "");
}

// A compositor's socket of the test's own, which takes connections and
// answers them or not.
class SdlDisplayAnswersTest : public testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/marivelt-answers-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        runtime = folder;
        listening = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = runtime + "/wayland-test";
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(listen(listening, 4), 0);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("WAYLAND_DISPLAY", "wayland-test", 1);
        unsetenv("WAYLAND_SOCKET");
        const char* display = std::getenv("DISPLAY");
        savedDisplay = display != nullptr ? display : "";
        unsetenv("DISPLAY");
    }
    void TearDown() override
    {
        close(listening);
        unlink((runtime + "/wayland-test").c_str());
        rmdir(runtime.c_str());
        unsetenv("WAYLAND_DISPLAY");
        if (!savedDisplay.empty())
            setenv("DISPLAY", savedDisplay.c_str(), 1);
    }
    std::string runtime, savedDisplay;
    int listening = -1;
};

TEST_F(SdlDisplayAnswersTest, ACompositorThatAnswersIsADisplay)
{
    std::thread compositor([this] {
        int client = accept(listening, nullptr, nullptr);
        unsigned char request[12];
        const unsigned char done[12] = {2, 0, 0, 0, 0, 0, 12, 0, 1, 0, 0, 0};  // the callback's done event
        if (recv(client, request, sizeof request, MSG_WAITALL) == sizeof request)
            send(client, done, sizeof done, MSG_NOSIGNAL);
        close(client);
    });
    EXPECT_TRUE(SdlDisplayAnswers(5000));
    compositor.join();
}

TEST_F(SdlDisplayAnswersTest, AFrozenCompositorThatOnlyTakesConnectionsIsNone)
{
    // Nobody accepts: the kernel takes the connection, as a stopped
    // compositor's does, and no answer ever comes.
    EXPECT_FALSE(SdlDisplayAnswers(200));
}

TEST_F(SdlDisplayAnswersTest, AnEmptyWaylandNameIsNoDisplay)
{
    setenv("WAYLAND_DISPLAY", "", 1);
    EXPECT_FALSE(SdlDisplayAnswers(200));
}

}  // namespace

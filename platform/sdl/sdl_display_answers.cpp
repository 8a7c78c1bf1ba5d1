// sdl_display_answers.cpp — whether a display answers at all, asked before
// a box is shown, within a bound.
//
// A zenity that cannot reach a display fails in a way SDL takes for a box the
// user closed, and Xlib waits for ever on a server that accepts connections
// but does not answer (one stopped, or frozen), as a stopped compositor's
// socket still accepts them. So the question is asked on a socket of our
// own, in the display's own first words: an X server answers a connection
// setup (with "no" for want of credentials, which is an answer), and a
// Wayland compositor a sync request. No answer within the time left is no
// display, and the words go to standard error.
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_x11.h"

namespace {

using Clock = std::chrono::steady_clock;

// The X connection setup: little-endian, protocol 11.0, no credentials.
constexpr unsigned char kXSetup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// wl_display (object 1) request 0, sync, 12 bytes, a new callback object 2.
constexpr unsigned char kWaylandSync[12] = {1, 0, 0, 0, 0, 0, 12, 0, 2, 0, 0, 0};

int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int channel, short events, Clock::time_point deadline)
{
    pollfd waited{channel, events, 0};
    int polled;
    do {
        polled = poll(&waited, 1, MillisecondsLeft(deadline));
    } while (polled < 0 && errno == EINTR);
    return polled == 1 && (waited.revents & events) != 0;
}

// Connects without waiting beyond the deadline; -1 when it cannot.
int Connect(int family, const sockaddr* address, socklen_t length, Clock::time_point deadline)
{
    int channel = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (channel < 0)
        return -1;
    if (connect(channel, address, length) == 0)
        return channel;
    int failure = 0;
    socklen_t size = sizeof failure;
    if (errno == EINPROGRESS && WaitFor(channel, POLLOUT, deadline) &&
        getsockopt(channel, SOL_SOCKET, SO_ERROR, &failure, &size) == 0 && failure == 0)
        return channel;
    close(channel);
    return -1;
}

int ConnectLocal(const std::string& path, bool abstract, Clock::time_point deadline)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path)
        return -1;
    path.copy(address.sun_path + offset, path.size());
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
    return Connect(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length, deadline);
}

int ConnectTcp(const std::string& host, int port, Clock::time_point deadline)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    int channel = -1;
    for (addrinfo* each = found; each != nullptr && channel < 0; each = each->ai_next)
        channel = Connect(each->ai_family, each->ai_addr, each->ai_addrlen, deadline);
    freeaddrinfo(found);
    return channel;
}

// Says the display's first words and waits for any answer; closes the channel.
bool Answers(int channel, const unsigned char* words, size_t count, Clock::time_point deadline)
{
    if (channel < 0)
        return false;
    unsigned char answer[8];
    bool answered = send(channel, words, count, MSG_NOSIGNAL) == static_cast<ssize_t>(count) &&
                    WaitFor(channel, POLLIN, deadline) && recv(channel, answer, sizeof answer, 0) > 0;
    close(channel);
    return answered;
}

}  // namespace

bool SdlParseXDisplay(const char* name, SdlXAddress* address)
{
    *address = SdlXAddress{};
    if (name == nullptr)
        return false;
    std::string display = name;
    const size_t slash = display.find('/');
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos || colon + 1 >= display.size())
        return false;
    std::string host = display.substr(0, colon);
    if (slash != std::string::npos && slash < colon && host.compare(0, slash, "tcp") == 0)
        host = host.substr(slash + 1);
    else if (slash != std::string::npos && slash < colon && host.compare(0, slash, "unix") == 0)
        host = "unix";
    else if (slash != std::string::npos && slash < colon)
        return false;  // a launcher's socket path or another protocol: not ours to guess
    char* end = nullptr;
    const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || (*end != '\0' && *end != '.') || number < 0 || number > 65535 - 6000)
        return false;
    address->number = static_cast<int>(number);
    address->local = host.empty() || host == "unix";
    address->host = address->local ? "" : host;
    return true;
}

std::string SdlWaylandSocketPath(const char* waylandDisplay, const char* runtimeDirectory)
{
    std::string name = waylandDisplay != nullptr ? waylandDisplay : "wayland-0";
    if (name.empty())
        return "";
    if (name.front() == '/')
        return name;
    if (runtimeDirectory == nullptr || *runtimeDirectory == '\0')
        return "";
    return std::string(runtimeDirectory) + "/" + name;
}

bool SdlDisplayAnswers(int milliseconds)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    if (std::getenv("WAYLAND_SOCKET") != nullptr)
        return true;  // a connection handed down by the compositor itself
    const std::string wayland = SdlWaylandSocketPath(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_RUNTIME_DIR"));
    if (Answers(ConnectLocal(wayland, false, deadline), kWaylandSync, sizeof kWaylandSync, deadline))
        return true;
    return SdlXServerAnswers(deadline);
}

bool SdlXServerAnswers(std::chrono::steady_clock::time_point deadline)
{
    SdlXAddress address;
    if (!SdlParseXDisplay(std::getenv("DISPLAY"), &address))
        return false;
    if (!address.local)
        return Answers(ConnectTcp(address.host, 6000 + address.number, deadline), kXSetup, sizeof kXSetup, deadline);
    // Xlib tries the abstract socket first, then the one in the file system.
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(address.number);
    int channel = ConnectLocal(path, true, deadline);
    if (channel < 0)
        channel = ConnectLocal(path, false, deadline);
    return Answers(channel, kXSetup, sizeof kXSetup, deadline);
}

// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times one start of a program under an X server: from just before exec to the
// MapNotify of its first top-level window, with the CPU time the program has
// used by then, and its resident memory one second later. The program is ended
// afterwards.
//
//   DISPLAY=:N startup-probe PROGRAM [ARGS...]
// prints: MAP_MS CPU_MS RSS_KB TITLE
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <dirent.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// CPU time of all the program's threads so far, in milliseconds.
double cpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double onCpu = 0;
            if (entry->d_name[0] != '.' && stat >> onCpu)
                ns += onCpu;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

std::string windowTitle(xcb_connection_t* x, xcb_window_t window)
{
    const char name[] = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, sizeof name - 1, name), nullptr);
    std::string title;
    if (atom) {
        xcb_get_property_reply_t* p = xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr);
        if (p) {
            title.assign(static_cast<const char*>(xcb_get_property_value(p)),
                         static_cast<std::size_t>(xcb_get_property_value_length(p)));
            std::free(p);
        }
        std::free(atom);
    }
    return title;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: DISPLAY=:N startup-probe PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "startup-probe: cannot connect to the X server\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        std::perror("startup-probe: exec");
        _exit(127);
    }

    double mapMs = -1;
    double mapCpuMs = -1;
    xcb_window_t mapped = 0;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (mapMs < 0) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            if (Clock::now() - start > std::chrono::seconds(30) || xcb_connection_has_error(x) ||
                waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "startup-probe: no window was mapped\n");
                kill(pid, SIGKILL);
                return 1;
            }
            poll(&fd, 1, 100);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (map->event == root && !map->override_redirect) {
                mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                mapped = map->window;
                mapCpuMs = cpuMs(pid);
            }
        }
        std::free(event);
    }

    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long rss = residentKb(pid);
    const std::string title = windowTitle(x, mapped);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    xcb_disconnect(x);
    std::printf("%.2f %.2f %ld %s\n", mapMs, mapCpuMs, rss, title.c_str());
    return 0;
}

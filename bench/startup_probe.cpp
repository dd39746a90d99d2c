// SPDX-License-Identifier: Apache-2.0
// Starts one program and watches its top-level window from outside, over the X
// connection, so that nothing inside the program changes what is measured: the time
// from exec to the window's MapNotify and to the first damage after which the window
// holds more than one colour, its RSS and PSS some seconds after the map, the context
// switches of all its threads while it sits idle, and the time from WM_DELETE_WINDOW
// to its exit. Prints one JSON line. Plain xcb, no Qt.
//
// startup_probe [--settle S] [--idle-from S] [--idle S] [--timeout S] -- program [args...]
// Memory is read --settle seconds after the map; the idle count starts --idle-from
// seconds after it (not before the memory reading) and lasts --idle seconds.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "startup_probe: %s\n", what);
    std::exit(2);
}

// Sum of one "Key:   value" field over the lines of a /proc file, or -1.
long long procField(const std::string &path, const std::string &key)
{
    std::ifstream in(path);
    std::string line;
    long long total = -1;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0 && line.size() > key.size() && line[key.size()] == ':')
            total = (total < 0 ? 0 : total) + std::atoll(line.c_str() + key.size() + 1);
    }
    return total;
}

// Voluntary and involuntary switches of every thread of pid.
long long contextSwitches(pid_t pid)
{
    const std::string taskDir = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(taskDir.c_str());
    if (!dir)
        return -1;
    long long total = 0;
    while (dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string status = taskDir + "/" + entry->d_name + "/status";
        const long long v = procField(status, "voluntary_ctxt_switches");
        const long long n = procField(status, "nonvoluntary_ctxt_switches");
        if (v >= 0 && n >= 0)
            total += v + n;
    }
    closedir(dir);
    return total;
}

int threadCount(pid_t pid)
{
    return int(procField("/proc/" + std::to_string(pid) + "/status", "Threads"));
}

// True when the window's pixels are not all one colour.
bool hasContent(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!geometry)
        return false;
    const uint16_t width = geometry->width, height = geometry->height;
    std::free(geometry);
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr);
    if (!image)
        return false;
    const int length = xcb_get_image_data_length(image);
    const uint32_t *pixels = reinterpret_cast<const uint32_t *>(xcb_get_image_data(image));
    bool mixed = false;
    // 24- and 32-bit depths both come as 32 bits a pixel; the padding byte is ignored.
    if (image->depth >= 24) {
        for (int i = 1; i < length / 4 && !mixed; ++i)
            mixed = ((pixels[i] ^ pixels[0]) & 0xffffffu) != 0;
    }
    std::free(image);
    return mixed;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        fail("cannot intern an atom");
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void sendDelete(xcb_connection_t *c, xcb_window_t window)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

pid_t child = 0;

void killChild()
{
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    double settleS = 2, idleFromS = 0, idleS = 10, timeoutS = 30;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; first += 2) {
        if (first + 1 >= argc)
            fail("option without a value");
        const double value = std::atof(argv[first + 1]);
        if (!std::strcmp(argv[first], "--settle"))
            settleS = value;
        else if (!std::strcmp(argv[first], "--idle-from"))
            idleFromS = value;
        else if (!std::strcmp(argv[first], "--idle"))
            idleS = value;
        else if (!std::strcmp(argv[first], "--timeout"))
            timeoutS = value;
        else
            fail("usage: startup_probe [--settle S] [--idle-from S] [--idle S] [--timeout S] -- program [args...]");
    }
    if (first + 1 >= argc)
        fail("no program given");

    // A watchdog: whatever stalls, the probe ends, and its runner sees it fail.
    alarm(unsigned(timeoutS + settleS + idleFromS + idleS + 15));

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        fail("cannot open the display");
    const xcb_query_extension_reply_t *damageExt = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damageExt || !damageExt->present)
        fail("the X server has no DAMAGE extension");
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t select = xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &rootMask);
    if (xcb_generic_error_t *error = xcb_request_check(c, select)) {
        std::free(error);
        fail("cannot watch the root window");
    }

    const double start = nowMs();
    child = fork();
    if (child < 0)
        fail("fork failed");
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("startup_probe: exec");
        _exit(127);
    }
    std::atexit(killChild);

    const int fd = xcb_get_file_descriptor(c);
    xcb_window_t window = XCB_NONE;
    double mapped = -1, drawn = -1;
    int damageEvents = 0;
    const double deadline = start + timeoutS * 1e3;
    while (drawn < 0) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c))
                fail("lost the display");
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                child = 0;
                fail("the program exited before drawing");
            }
            const double left = deadline - nowMs();
            if (left <= 0)
                fail("timed out waiting for the window");
            pollfd p { fd, POLLIN, 0 };
            poll(&p, 1, left < 50 ? int(left) + 1 : 50);
            continue;
        }
        const double at = nowMs();
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
            auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect) {
                window = map->window;
                mapped = at;
                const xcb_damage_damage_t damage = xcb_generate_id(c);
                xcb_damage_create(c, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c);
                // The first frame may already be there.
                if (hasContent(c, window))
                    drawn = nowMs();
            }
        } else if (type == damageExt->first_event + XCB_DAMAGE_NOTIFY && window != XCB_NONE) {
            auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            ++damageEvents;
            xcb_damage_subtract(c, notify->damage, XCB_NONE, XCB_NONE);
            if (hasContent(c, window))
                drawn = at;
        }
        std::free(event);
    }

    // Resident memory once start-up is well over, then the switches while nothing happens.
    const std::string procDir = "/proc/" + std::to_string(child);
    const auto sleepUntil = [](double t) {
        for (double left = t - nowMs(); left > 0; left = t - nowMs())
            usleep(useconds_t(left * 1e3));
    };
    sleepUntil(mapped + settleS * 1e3);
    const long long rssKb = procField(procDir + "/status", "VmRSS");
    const long long pssKb = procField(procDir + "/smaps_rollup", "Pss");
    const int threads = threadCount(child);
    sleepUntil(mapped + idleFromS * 1e3);
    const long long switchesBefore = contextSwitches(child);
    const double idleStart = nowMs();
    sleepUntil(idleStart + idleS * 1e3);
    const long long switchesAfter = contextSwitches(child);
    const double idleMs = nowMs() - idleStart;

    // Drain what piled up while idle, so the wait below sees only the exit.
    while (xcb_generic_event_t *event = xcb_poll_for_event(c))
        std::free(event);
    // A pidfd turns readable at the exit, so the wait needs no polling loop.
    const int pidfd = int(syscall(SYS_pidfd_open, child, 0));
    if (pidfd < 0)
        fail("pidfd_open failed");
    const double closeAt = nowMs();
    sendDelete(c, window);
    int status = 0;
    double exited = -1;
    pollfd p { pidfd, POLLIN, 0 };
    if (poll(&p, 1, 10000) == 1) {
        exited = nowMs();
        waitpid(child, &status, 0);
        child = 0;
    }
    close(pidfd);
    xcb_disconnect(c);
    if (exited < 0)
        fail("the program did not exit after WM_DELETE_WINDOW");

    std::printf("{\"map_ms\": %.2f, \"frame_ms\": %.2f, \"rss_kib\": %lld, \"pss_kib\": %lld, "
                "\"threads\": %d, \"idle_switches_per_s\": %.2f, \"close_ms\": %.2f, "
                "\"damage_events\": %d, \"exit_status\": %d, \"exec_at_s\": %.4f}\n",
                mapped - start, drawn - start, rssKb, pssKb, threads,
                double(switchesAfter - switchesBefore) * 1e3 / idleMs, exited - closeAt, damageEvents,
                WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), start / 1e3);
    return 0;
}

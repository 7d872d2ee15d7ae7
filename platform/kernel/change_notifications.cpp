// Change notifications over inotify: the handle is signalled while events wait to be read, and
// FindNextChangeNotification reads them all, so that it is signalled again by the next change.
#include "kernel/errors.h"
#include "kernel/handles.h"
#include "kernel/host_paths.h"

#include <cerrno>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

struct ChangeNotification : KernelObject {
    static const KernelObjectKind kind = KernelObjectKind::ChangeNotification;

    explicit ChangeNotification(int descriptor) : descriptor(descriptor) {}
    ~ChangeNotification() override {
        close(descriptor);
    }
    KernelObjectKind Kind() const override {
        return kind;
    }

    int descriptor;
    // The folder went away: nothing more can be seen, and the handle stays signalled.
    bool gone = false;
};

const DWORD knownFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE;

uint32_t EventsFor(DWORD filter) {
    // The folder itself going away always counts: nothing in it can be watched after that.
    uint32_t events = IN_DELETE_SELF | IN_MOVE_SELF;
    if ((filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) != 0) {
        events |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    }
    if ((filter & FILE_NOTIFY_CHANGE_ATTRIBUTES) != 0) {
        events |= IN_ATTRIB;
    }
    if ((filter & FILE_NOTIFY_CHANGE_SIZE) != 0) {
        events |= IN_MODIFY;
    }
    // A time set without a write arrives as an attribute change.
    if ((filter & FILE_NOTIFY_CHANGE_LAST_WRITE) != 0) {
        events |= IN_MODIFY | IN_ATTRIB;
    }
    return events;
}

// Subfolders are not watched: a request for them fails rather than miss their changes.
HANDLE StartNotification(const std::string &hostFolder, BOOL watchSubtree, DWORD filter) {
    if (watchSubtree) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    if (filter == 0 || (filter & ~knownFilters) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (hostFolder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    if (inotify_add_watch(descriptor, hostFolder.c_str(), EventsFor(filter) | IN_ONLYDIR) < 0) {
        const int failure = errno;
        close(descriptor);
        SetLastError(failure == ENOTDIR  ? ERROR_DIRECTORY
                     : failure == EACCES ? ERROR_ACCESS_DENIED
                                         : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return AddKernelObject(std::make_shared<ChangeNotification>(descriptor));
}

} // namespace

extern "C" HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR path, BOOL watchSubtree,
                                                      DWORD filter) {
    return StartNotification(HostPathFromA(path), watchSubtree, filter);
}

extern "C" HANDLE WINAPI FindFirstChangeNotificationW(LPCWSTR path, BOOL watchSubtree,
                                                      DWORD filter) {
    return StartNotification(HostPathFromW(path), watchSubtree, filter);
}

extern "C" BOOL WINAPI FindNextChangeNotification(HANDLE notification) {
    const auto found = FindKernelObjectAs<ChangeNotification>(notification);
    if (!found) {
        return FALSE;
    }
    alignas(inotify_event) char events[4096];
    ssize_t length;
    while ((length = read(found->descriptor, events, sizeof events)) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(events + at);
            found->gone = found->gone || (event->mask & IN_IGNORED) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (found->gone) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI FindCloseChangeNotification(HANDLE notification) {
    return RemoveKernelObject(notification, {KernelObjectKind::ChangeNotification}) ? TRUE : FALSE;
}

// A wait longer than none holds up the whole run, every machine's programs included; nothing
// here waits so, but it is allowed, as it is on Windows.
extern "C" DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    const auto found = FindKernelObjectAs<ChangeNotification>(object);
    if (!found) {
        return WAIT_FAILED;
    }
    if (found->gone) {
        return WAIT_OBJECT_0;
    }
    pollfd waiting = {found->descriptor, POLLIN, 0};
    const int timeout = milliseconds == INFINITE    ? -1
                        : milliseconds > 0x7FFFFFFF ? 0x7FFFFFFF
                                                    : static_cast<int>(milliseconds);
    int ready;
    do {
        ready = poll(&waiting, 1, timeout);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return WAIT_FAILED;
    }
    return ready > 0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

// Message sequences, in the manner of Wine's user32 message tests: a window's procedure is
// watched by a recorder that logs what the window receives, and a test compares the log with a
// table of expected messages. Parameters are compared only where an entry asks for it.
#ifndef TESTS_SUPPORT_MESSAGE_RECORDER_H
#define TESTS_SUPPORT_MESSAGE_RECORDER_H

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

enum MessageCheck : unsigned { CheckMessage = 0, CheckWParam = 1, CheckLParam = 2, CheckBoth = 3 };

struct ExpectedMessage {
    UINT message;
    unsigned check = CheckMessage;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageRecorder {
  public:
    MessageRecorder() {
        Current() = this;
    }
    ~MessageRecorder() {
        for (const auto &[window, proc] : watched_) {
            if (IsWindow(window)) {
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
            }
        }
        Current() = nullptr;
    }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    // Puts the recorder in front of the window's procedure.
    void Watch(HWND window) {
        watched_[window] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    // Logs a message from a procedure of the test's own.
    void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        log_.push_back({window, message, wParam, lParam});
    }
    void Clear() {
        log_.clear();
    }
    const std::vector<RecordedMessage> &Log() const {
        return log_;
    }
    // The messages one window received, in order, leaving out those the filter names.
    std::vector<RecordedMessage> Of(HWND window, const std::vector<UINT> &ignored = {}) const {
        std::vector<RecordedMessage> found;
        for (const RecordedMessage &entry : log_) {
            bool skip = entry.window != window;
            for (UINT message : ignored) {
                skip = skip || entry.message == message;
            }
            if (!skip) {
                found.push_back(entry);
            }
        }
        return found;
    }

    // Only the messages of those kinds that one window received, in order.
    std::vector<RecordedMessage> OnlyOf(HWND window, const std::vector<UINT> &kinds) const {
        std::vector<RecordedMessage> found;
        for (const RecordedMessage &entry : log_) {
            if (entry.window == window &&
                std::find(kinds.begin(), kinds.end(), entry.message) != kinds.end()) {
                found.push_back(entry);
            }
        }
        return found;
    }

    static testing::AssertionResult Matches(const std::vector<RecordedMessage> &received,
                                            const std::vector<ExpectedMessage> &expected) {
        std::ostringstream report;
        bool same = received.size() == expected.size();
        for (size_t i = 0; same && i < expected.size(); ++i) {
            const ExpectedMessage &want = expected[i];
            const RecordedMessage &got = received[i];
            same = got.message == want.message &&
                   ((want.check & CheckWParam) == 0 || got.wParam == want.wParam) &&
                   ((want.check & CheckLParam) == 0 || got.lParam == want.lParam);
        }
        if (same) {
            return testing::AssertionSuccess();
        }
        report << "expected";
        for (const ExpectedMessage &want : expected) {
            report << " 0x" << std::hex << want.message;
            if (want.check & CheckWParam) {
                report << "(w=" << want.wParam << ")";
            }
            if (want.check & CheckLParam) {
                report << "(l=" << want.lParam << ")";
            }
        }
        report << "\nreceived";
        for (const RecordedMessage &got : received) {
            report << " 0x" << std::hex << got.message << "(w=" << got.wParam << ",l=" << got.lParam
                   << ")";
        }
        return testing::AssertionFailure() << report.str();
    }

  private:
    static MessageRecorder *&Current() {
        static MessageRecorder *current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        MessageRecorder *recorder = Current();
        WNDPROC next = nullptr;
        if (recorder != nullptr) {
            recorder->Record(window, message, wParam, lParam);
            auto found = recorder->watched_.find(window);
            next = found != recorder->watched_.end() ? found->second : nullptr;
        }
        return next != nullptr ? CallWindowProcW(next, window, message, wParam, lParam)
                               : DefWindowProcW(window, message, wParam, lParam);
    }

    std::map<HWND, WNDPROC> watched_;
    std::vector<RecordedMessage> log_;
};

#endif

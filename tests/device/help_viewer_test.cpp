// The help viewer: a help file longer than its window is scrolled with the scroll bar, a short one
// has nothing to scroll.
#include "booted_device.h"

#include "screen_pixels.h"

#include <fstream>

namespace {

using HelpViewer = BootedDevice;

SCROLLINFO ScrollOf(HWND window) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    return info;
}

// A picture of the window's top rows, to tell what it shows.
std::vector<COLORREF> TopRows(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    std::vector<COLORREF> pixels;
    for (int y = rect.top + 30; y < rect.top + 60; ++y) {
        for (int x = rect.left + 4; x < rect.left + 80; ++x) {
            pixels.push_back(ScreenPixel(x, y));
        }
    }
    return pixels;
}

TEST_F(HelpViewer, ALongHelpFileScrollsAndStopsAtItsEnd) {
    {
        std::ofstream help(folder + "/Windows/long.htc");
        for (int line = 1; line <= 80; ++line) {
            help << "Line " << line << " of the help\n";
        }
    }
    Start(u"\\Windows\\peghelp.exe", u"long.htc");
    HWND viewer = FindWindowW(u"HelpViewer", nullptr);
    ASSERT_NE(viewer, nullptr);
    const SCROLLINFO start = ScrollOf(viewer);
    EXPECT_EQ(start.nPos, 0);
    EXPECT_GT(start.nMax + 1, static_cast<int>(start.nPage)) << "more than a window's worth";
    const std::vector<COLORREF> top = TopRows(viewer);

    SendMessageW(viewer, WM_VSCROLL, SB_PAGEDOWN, 0);
    RunUntilIdle();
    EXPECT_GT(ScrollOf(viewer).nPos, 0);
    EXPECT_NE(TopRows(viewer), top) << "other lines show";

    SendMessageW(viewer, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30000), 0);
    RunUntilIdle();
    const SCROLLINFO end = ScrollOf(viewer);
    EXPECT_EQ(end.nPos, end.nMax + 1 - static_cast<int>(end.nPage)) << "the last page";
    SendMessageW(viewer, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ScrollOf(viewer).nPos, end.nPos) << "no further";

    SendMessageW(viewer, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    RunUntilIdle();
    EXPECT_EQ(ScrollOf(viewer).nPos, 0);
    EXPECT_EQ(TopRows(viewer), top) << "back at the start";
}

TEST_F(HelpViewer, AShortHelpFileHasNothingToScroll) {
    std::ofstream(folder + "/Windows/short.htc") << "One line of help.\n";
    Start(u"\\Windows\\peghelp.exe", u"short.htc");
    HWND viewer = FindWindowW(u"HelpViewer", nullptr);
    ASSERT_NE(viewer, nullptr);
    SendMessageW(viewer, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(ScrollOf(viewer).nPos, 0);
}

} // namespace

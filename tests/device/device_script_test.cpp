// Script lines: splitting into words, and commands that are refused.
#include <gtest/gtest.h>

#include <rapi.h>

#include "rapi/rapi_client.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "device/boot.h"
#include "device/device_script.h"

namespace {

struct SplitCase {
    const char *line;
    bool ok;
    std::vector<std::string> words;
    std::vector<bool> quoted;
};

TEST(DeviceScript, LinesSplitAtSpacesWithQuotedWordsKept) {
    const SplitCase cases[] = {
        {"tap 10 20", true, {"tap", "10", "20"}, {false, false, false}},
        {"  start   \"\\Windows\\notes.exe\"  ",
         true,
         {"start", "\\Windows\\notes.exe"},
         {false, true}},
        {"start \"\\Program Files\\x.exe\" a b",
         true,
         {"start", "\\Program Files\\x.exe", "a", "b"},
         {false, true, false, false}},
        {"type \"say \\\"hi\\\"\"", true, {"type", "say \"hi\""}, {false, true}},
        {"type \"\"", true, {"type", ""}, {false, true}},
        {"type a\"b c\"d", true, {"type", "ab cd"}, {false, true}},
        {"wait-window Dialog", true, {"wait-window", "Dialog"}, {false, false}},
        {"idle\r", true, {"idle"}, {false}},
        {"text \"open", false, {}, {}},
        {"", true, {}, {}},
    };
    for (const SplitCase &test : cases) {
        ScriptLine line;
        EXPECT_EQ(SplitScriptLine(test.line, line), test.ok) << test.line;
        if (test.ok) {
            EXPECT_EQ(line.words, test.words) << test.line;
            EXPECT_EQ(line.quoted, test.quoted) << test.line;
        }
    }
}

TEST(DeviceScript, BadCommandsAreReportedWithTheirLineAndTheScriptGoesOn) {
    DeviceOptions options;
    options.folder = testing::TempDir() + "/script_device";
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
    std::istringstream script("# a comment\n"
                              "\n"
                              "tap 10\n"
                              "key 0x100\n"
                              "key -1\n"
                              "sleep 12x\n"
                              "fly\n"
                              "start \\Windows\\nothing.exe\n"
                              "text NoSuchClass\n"
                              "text \"open\n"
                              "sleep 0x10\n"
                              "text HHTaskBar\n"
                              "machine desktop\n"
                              "machine laptop\n"
                              "machine device\n");
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script, out, errors), 10);
    EXPECT_EQ(out.str(), "\n");
    EXPECT_EQ(errors.str(), "line 3: tap needs X and Y\n"
                            "line 4: key needs a virtual-key code from 1 to 254\n"
                            "line 5: key needs a virtual-key code from 1 to 254\n"
                            "line 6: sleep needs milliseconds\n"
                            "line 7: unknown command fly\n"
                            "line 8: cannot start \\Windows\\nothing.exe\n"
                            "line 9: no window of class NoSuchClass\n"
                            "line 10: a quote is left open\n"
                            "line 13: no desktop is booted\n"
                            "line 14: machine needs desktop or device\n");
    PowerOffDevice();
}

// The cable is pulled and put back for the device of the run; CeRapiInit tells which it is.
TEST(DeviceScript, CableUnplugsAndPlugsTheDevice) {
    DeviceOptions options;
    options.folder = testing::TempDir() + "/script_cable_device";
    options.serveRapi = true;
    std::filesystem::remove_all(options.folder);
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
    SetRapiPort(0);
    std::ostringstream out;
    std::ostringstream errors;
    std::istringstream unplug("cable unplug\ncable\ncable cut\n");
    EXPECT_EQ(RunScript(unplug, out, errors), 2);
    EXPECT_EQ(errors.str(), "line 2: cable needs plug or unplug\n"
                            "line 3: cable needs plug or unplug\n");
    EXPECT_EQ(CeRapiInit(), E_FAIL);
    std::istringstream plug("cable plug\n");
    EXPECT_EQ(RunScript(plug, out, errors), 0);
    EXPECT_EQ(CeRapiInit(), S_OK);
    CeRapiUninit();
    PowerOffDevice();
}

// send: a message to a top-level window by class or caption, its answer printed.
TEST(DeviceScript, SendPrintsTheAnswerOrSaysWhatIsWrongAndSayPrintsItsWords) {
    DeviceOptions options;
    options.folder = testing::TempDir() + "/script_send_device";
    std::filesystem::remove_all(options.folder);
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
    std::istringstream script("start \\Windows\\notes.exe\n"
                              "send Notes 0x000E\n" // WM_GETTEXTLENGTH
                              "send \"Notes\" 14 0 0\n"
                              "send NoSuchClass 14\n"
                              "send Notes 0x10000\n"
                              "send Notes\n"
                              "send Notes 12 0 0 0\n"
                              "say \"Step 1:\" Notes   started\n");
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script, out, errors), 4);
    EXPECT_EQ(out.str(), "5\n5\nStep 1: Notes started\n");
    const std::string usage = "send needs a window class or \"caption\", a message from 0 to "
                              "0xFFFF, and may give wParam and lParam\n";
    EXPECT_EQ(errors.str(), "line 4: no window of class NoSuchClass\nline 5: " + usage +
                                "line 6: " + usage + "line 7: " + usage);
    PowerOffDevice();
}

// The store's size changes for the rest of the run; the desktop has a disk instead.
TEST(DeviceScript, StoreSetsTheDeviceStoreSize) {
    DeviceOptions options;
    options.folder = testing::TempDir() + "/script_store_device";
    std::filesystem::remove_all(options.folder);
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
    std::istringstream script("store 64K\n"
                              "store 0\n"
                              "store\n");
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script, out, errors), 2);
    EXPECT_EQ(errors.str(), "line 2: store needs a size: bytes, or a number with K or M\n"
                            "line 3: store needs a size: bytes, or a number with K or M\n");
    STORE_INFORMATION store = {};
    ASSERT_TRUE(GetStoreInformation(&store));
    EXPECT_EQ(store.dwStoreSize, 65536u) << "a refused size leaves the last one";
    PowerOffDevice();
}

// A host file goes onto the disk of the machine the script runs on, over what is there; a missing
// file or folder fails the line.
TEST(DeviceScript, PutCopiesAHostFileOntoTheDevice) {
    DeviceOptions options;
    options.folder = testing::TempDir() + "/script_put_device";
    std::filesystem::remove_all(options.folder);
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
    const std::string source = testing::TempDir() + "/script_put_source.kbi";
    std::ofstream(source) << "layout";
    const std::string put = "put " + source + " ";
    std::istringstream script(put + "\"\\My Documents\\copy.kbi\"\n" + // new
                              put + "\"\\My Documents\\copy.kbi\"\n" + // over the first
                              put + "\n" +                             // no place to put it
                              "put /no/such/file \"\\My Documents\\x.kbi\"\n" + // no file
                              put + "\"\\No Folder\\x.kbi\"\n");                // no folder
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script, out, errors), 3);
    EXPECT_EQ(errors.str(), "line 3: put needs a host file and a path on the machine\n"
                            "line 4: cannot put /no/such/file at \\My Documents\\x.kbi\n"
                            "line 5: cannot put " +
                                source + " at \\No Folder\\x.kbi\n");
    std::ifstream copied(options.folder + "/My Documents/copy.kbi");
    std::string text;
    copied >> text;
    EXPECT_EQ(text, "layout");
    PowerOffDevice();
}

} // namespace

// Cabinet manifests of any shape: read with every bound checked, what reads writes back into a
// manifest that reads the same, and an installation planned from it never names a place that
// climbs out of a folder.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "install/cab_manifest.h"
#include "install/package_plan.h"

#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Names beyond the writer's limit would be cut, and the round trip with them.
    if (size > 16000)
        return 0;
    CabManifest first;
    std::string problem;
    if (!ReadCabManifest(data, size, first, problem))
        return 0;
    const std::vector<uint8_t> written = WriteCabManifest(first);
    CabManifest second;
    if (!ReadCabManifest(written.data(), written.size(), second, problem))
        abort();
    if (WriteCabManifest(second) != written)
        abort();

    std::vector<CabMember> members;
    std::set<unsigned> numbers;
    for (const ManifestFile &file : first.files) {
        if (!numbers.insert(file.number % 1000u).second)
            continue;
        char name[16];
        snprintf(name, sizeof(name), "F.%03u", file.number % 1000u);
        members.push_back({name, {1, 2, 3}});
    }
    InstallationPlan plan;
    if (!PlanInstallation(first, members, u"\\Program Files\\X", DevicePlatform::PocketPC, plan,
                          problem))
        return 0;
    std::vector<std::u16string> paths = plan.directories;
    for (const PlannedFile &file : plan.files)
        paths.push_back(file.path);
    for (const PlannedShortcut &shortcut : plan.shortcuts)
        paths.push_back(shortcut.path);
    for (const std::u16string &path : paths) {
        if (!path.empty() &&
            (path[0] != u'\\' || (path + u"\\").find(u"\\..\\") != std::u16string::npos))
            abort();
    }
    return 0;
}

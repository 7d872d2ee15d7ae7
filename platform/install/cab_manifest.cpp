#include "install/cab_manifest.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t headerSize = 100;
// Names sit right after the header, where 16-bit offsets reach them.
constexpr size_t nameLimit = 16000;

// The manifest's bytes up to the length its header gives; every read is checked against it.
class ManifestBytes {
  public:
    ManifestBytes(const uint8_t *bytes, size_t length) : bytes_(bytes), length_(length) {}

    bool Fits(size_t at, size_t count) const {
        return at <= length_ && length_ - at >= count;
    }
    bool U16(size_t at, uint16_t &value) const {
        if (!Fits(at, 2)) {
            return false;
        }
        value = static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
        return true;
    }
    bool U32(size_t at, uint32_t &value) const {
        uint16_t low, high;
        if (!U16(at, low) || !U16(at + 2, high)) {
            return false;
        }
        value = low | static_cast<uint32_t>(high) << 16;
        return true;
    }
    // The text up to its NUL, or all of the count.
    bool Text(size_t at, size_t count, std::string &text) const {
        if (!Fits(at, count)) {
            return false;
        }
        const char *start = reinterpret_cast<const char *>(bytes_ + at);
        text.assign(start, strnlen(start, count));
        return true;
    }
    bool Bytes(size_t at, size_t count, std::string &bytes) const {
        if (!Fits(at, count)) {
            return false;
        }
        bytes.assign(reinterpret_cast<const char *>(bytes_ + at), count);
        return true;
    }
    // 16-bit ids up to a 0 or the end of the count.
    bool Ids(size_t at, size_t count, std::vector<uint16_t> &ids) const {
        if (!Fits(at, count)) {
            return false;
        }
        ids.clear();
        for (size_t i = 0; i + 2 <= count; i += 2) {
            uint16_t id = 0;
            U16(at + i, id);
            if (id == 0) {
                break;
            }
            ids.push_back(id);
        }
        return true;
    }

  private:
    const uint8_t *bytes_;
    size_t length_;
};

// Reads the consecutive entries of one section; each reader takes one entry and moves on.
struct EntryCursor {
    const ManifestBytes &bytes;
    size_t at;
};

bool ReadString(EntryCursor &cursor, ManifestString &entry) {
    uint16_t length = 0;
    if (!cursor.bytes.U16(cursor.at, entry.id) || !cursor.bytes.U16(cursor.at + 2, length) ||
        !cursor.bytes.Text(cursor.at + 4, length, entry.text)) {
        return false;
    }
    cursor.at += 4 + length;
    return true;
}

bool ReadDirectory(EntryCursor &cursor, ManifestDirectory &entry) {
    uint16_t length = 0;
    if (!cursor.bytes.U16(cursor.at, entry.id) || !cursor.bytes.U16(cursor.at + 2, length) ||
        !cursor.bytes.Ids(cursor.at + 4, length, entry.stringIds)) {
        return false;
    }
    cursor.at += 4 + length;
    return true;
}

bool ReadFile(EntryCursor &cursor, ManifestFile &entry) {
    uint16_t length = 0;
    const ManifestBytes &bytes = cursor.bytes;
    const size_t at = cursor.at;
    if (!bytes.U16(at, entry.number) || !bytes.U16(at + 2, entry.directoryId) ||
        !bytes.U16(at + 4, entry.unknown) || !bytes.U32(at + 6, entry.flags) ||
        !bytes.U16(at + 10, length) || !bytes.Text(at + 12, length, entry.name)) {
        return false;
    }
    cursor.at += 12 + length;
    return true;
}

bool ReadHive(EntryCursor &cursor, ManifestHive &entry) {
    uint16_t length = 0;
    const ManifestBytes &bytes = cursor.bytes;
    const size_t at = cursor.at;
    if (!bytes.U16(at, entry.id) || !bytes.U16(at + 2, entry.root) || !bytes.U16(at + 6, length) ||
        !bytes.Ids(at + 8, length, entry.stringIds)) {
        return false;
    }
    cursor.at += 8 + length;
    return true;
}

// The value's name ends at its NUL, and the data fills the rest of the entry.
bool ReadValue(EntryCursor &cursor, ManifestValue &entry) {
    uint16_t length = 0;
    const ManifestBytes &bytes = cursor.bytes;
    const size_t at = cursor.at;
    std::string payload;
    if (!bytes.U16(at, entry.id) || !bytes.U16(at + 2, entry.hiveId) ||
        !bytes.U16(at + 4, entry.substitute) || !bytes.U32(at + 6, entry.typeAndFlags) ||
        !bytes.U16(at + 10, length) || !bytes.Bytes(at + 12, length, payload)) {
        return false;
    }
    const size_t nameEnd = payload.find('\0');
    if (nameEnd == std::string::npos) {
        return false;
    }
    entry.name = payload.substr(0, nameEnd);
    entry.data = payload.substr(nameEnd + 1);
    cursor.at += 12 + length;
    return true;
}

bool ReadLink(EntryCursor &cursor, ManifestLink &entry) {
    uint16_t length = 0;
    const ManifestBytes &bytes = cursor.bytes;
    const size_t at = cursor.at;
    if (!bytes.U16(at, entry.id) || !bytes.U16(at + 4, entry.baseDirectory) ||
        !bytes.U16(at + 6, entry.targetId) || !bytes.U16(at + 8, entry.targetKind) ||
        !bytes.U16(at + 10, length) || !bytes.Ids(at + 12, length, entry.stringIds)) {
        return false;
    }
    cursor.at += 12 + length;
    return true;
}

template <typename Entry>
bool ReadSection(const ManifestBytes &bytes, uint16_t count, uint32_t offset,
                 bool (*readEntry)(EntryCursor &, Entry &), std::vector<Entry> &entries) {
    entries.clear();
    EntryCursor cursor{bytes, offset};
    for (uint16_t i = 0; i < count; ++i) {
        Entry entry;
        if (!readEntry(cursor, entry)) {
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

// Names ended by NULs, the list by an empty one.
bool ReadNameList(const ManifestBytes &bytes, size_t at, size_t length,
                  std::vector<std::string> &names) {
    std::string all;
    if (!bytes.Bytes(at, length, all)) {
        return false;
    }
    names.clear();
    for (size_t start = 0; start < all.size();) {
        const size_t end = std::min(all.find('\0', start), all.size());
        if (end == start) {
            break;
        }
        names.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

class ManifestWriter {
  public:
    void U16(size_t value) {
        bytes_.push_back(static_cast<uint8_t>(value));
        bytes_.push_back(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Raw(const std::string &text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    void PutU16(size_t at, size_t value) {
        bytes_[at] = static_cast<uint8_t>(value);
        bytes_[at + 1] = static_cast<uint8_t>(value >> 8);
    }
    void PutU32(size_t at, uint32_t value) {
        PutU16(at, value & 0xFFFF);
        PutU16(at + 2, value >> 16);
    }
    size_t Size() const {
        return bytes_.size();
    }
    std::vector<uint8_t> &Bytes() {
        return bytes_;
    }

  private:
    std::vector<uint8_t> bytes_;
};

// A 16-bit length holds the text and its NUL.
std::string Fitting(const std::string &text, size_t limit = 0xFFFE) {
    return text.substr(0, std::min({text.size(), limit, strnlen(text.c_str(), text.size())}));
}

void WriteIds(ManifestWriter &out, const std::vector<uint16_t> &ids) {
    const size_t count = std::min<size_t>(ids.size(), 0x7FFE);
    out.U16((count + 1) * 2);
    for (size_t i = 0; i < count; ++i) {
        out.U16(ids[i]);
    }
    out.U16(0);
}

void WriteName(ManifestWriter &out, size_t field, const std::string &text) {
    const std::string fitting = Fitting(text, nameLimit);
    out.PutU16(field, out.Size());
    out.PutU16(field + 2, fitting.size() + 1);
    out.Raw(fitting);
    out.Raw(std::string(1, '\0'));
}

} // namespace

bool ReadCabManifest(const uint8_t *bytes, size_t size, CabManifest &manifest,
                     std::string &problem) {
    manifest = CabManifest{};
    if (bytes == nullptr || size < headerSize) {
        problem = "shorter than a manifest header";
        return false;
    }
    if (std::memcmp(bytes, "MSCE", 4) != 0) {
        problem = "no manifest signature";
        return false;
    }
    const ManifestBytes whole(bytes, size);
    uint32_t length = 0;
    whole.U32(8, length);
    if (length < headerSize || length > size) {
        problem = "manifest length outside the member";
        return false;
    }
    const ManifestBytes manifestBytes(bytes, length);
    uint32_t *versions[] = {&manifest.processor,    &manifest.minimumMajor, &manifest.minimumMinor,
                            &manifest.maximumMajor, &manifest.maximumMinor, &manifest.minimumBuild,
                            &manifest.maximumBuild};
    for (size_t i = 0; i < std::size(versions); ++i) {
        manifestBytes.U32(20 + 4 * i, *versions[i]);
    }
    uint16_t counts[6] = {};
    uint32_t offsets[6] = {};
    for (size_t i = 0; i < 6; ++i) {
        manifestBytes.U16(48 + 2 * i, counts[i]);
        manifestBytes.U32(60 + 4 * i, offsets[i]);
    }
    uint16_t names[6] = {};
    for (size_t i = 0; i < 6; ++i) {
        manifestBytes.U16(84 + 2 * i, names[i]);
    }
    if (!manifestBytes.Text(names[0], names[1], manifest.appName) ||
        !manifestBytes.Text(names[2], names[3], manifest.provider) ||
        !ReadNameList(manifestBytes, names[4], names[5], manifest.unsupported)) {
        problem = "a name outside the manifest";
        return false;
    }
    const bool sectionsFit =
        ReadSection(manifestBytes, counts[0], offsets[0], ReadString, manifest.strings) &&
        ReadSection(manifestBytes, counts[1], offsets[1], ReadDirectory, manifest.directories) &&
        ReadSection(manifestBytes, counts[2], offsets[2], ReadFile, manifest.files) &&
        ReadSection(manifestBytes, counts[3], offsets[3], ReadHive, manifest.hives) &&
        ReadSection(manifestBytes, counts[4], offsets[4], ReadValue, manifest.values) &&
        ReadSection(manifestBytes, counts[5], offsets[5], ReadLink, manifest.links);
    if (!sectionsFit) {
        problem = "an entry outside the manifest";
        return false;
    }
    return true;
}

std::vector<uint8_t> WriteCabManifest(const CabManifest &manifest) {
    ManifestWriter out;
    out.Raw("MSCE");
    out.U32(0);
    out.U32(0); // the length, once known
    out.U32(0);
    out.U32(1);
    for (uint32_t value :
         {manifest.processor, manifest.minimumMajor, manifest.minimumMinor, manifest.maximumMajor,
          manifest.maximumMinor, manifest.minimumBuild, manifest.maximumBuild}) {
        out.U32(value);
    }
    const size_t counts[6] = {manifest.strings.size(), manifest.directories.size(),
                              manifest.files.size(),   manifest.hives.size(),
                              manifest.values.size(),  manifest.links.size()};
    for (size_t count : counts) {
        out.U16(std::min<size_t>(count, 0xFFFF));
    }
    while (out.Size() < headerSize) {
        out.U16(0);
    }

    WriteName(out, 84, manifest.appName);
    WriteName(out, 88, manifest.provider);
    std::string unsupported;
    for (const std::string &name : manifest.unsupported) {
        const std::string fitting = Fitting(name, nameLimit);
        if (!fitting.empty() && unsupported.size() + fitting.size() + 2 <= nameLimit) {
            unsupported += fitting + '\0';
        }
    }
    out.PutU16(92, out.Size());
    out.PutU16(94, unsupported.empty() ? 0 : unsupported.size() + 1);
    if (!unsupported.empty()) {
        out.Raw(unsupported + '\0');
    }

    auto start = [&](int section) { out.PutU32(60 + 4 * section, out.Size()); };
    auto count = [&](size_t size) { return std::min<size_t>(size, 0xFFFF); };
    start(0);
    for (size_t i = 0; i < count(manifest.strings.size()); ++i) {
        const std::string text = Fitting(manifest.strings[i].text);
        out.U16(manifest.strings[i].id);
        out.U16(text.size() + 1);
        out.Raw(text + '\0');
    }
    start(1);
    for (size_t i = 0; i < count(manifest.directories.size()); ++i) {
        out.U16(manifest.directories[i].id);
        WriteIds(out, manifest.directories[i].stringIds);
    }
    start(2);
    for (size_t i = 0; i < count(manifest.files.size()); ++i) {
        const ManifestFile &file = manifest.files[i];
        const std::string name = Fitting(file.name);
        out.U16(file.number);
        out.U16(file.directoryId);
        out.U16(file.unknown);
        out.U32(file.flags);
        out.U16(name.size() + 1);
        out.Raw(name + '\0');
    }
    start(3);
    for (size_t i = 0; i < count(manifest.hives.size()); ++i) {
        out.U16(manifest.hives[i].id);
        out.U16(manifest.hives[i].root);
        out.U16(0);
        WriteIds(out, manifest.hives[i].stringIds);
    }
    start(4);
    for (size_t i = 0; i < count(manifest.values.size()); ++i) {
        const ManifestValue &value = manifest.values[i];
        const std::string name = Fitting(value.name);
        const std::string data = value.data.substr(0, 0xFFFF - (name.size() + 1));
        out.U16(value.id);
        out.U16(value.hiveId);
        out.U16(value.substitute);
        out.U32(value.typeAndFlags);
        out.U16(name.size() + 1 + data.size());
        out.Raw(name + '\0' + data);
    }
    start(5);
    for (size_t i = 0; i < count(manifest.links.size()); ++i) {
        const ManifestLink &link = manifest.links[i];
        out.U16(link.id);
        out.U16(0);
        out.U16(link.baseDirectory);
        out.U16(link.targetId);
        out.U16(link.targetKind);
        WriteIds(out, link.stringIds);
    }
    out.PutU32(8, static_cast<uint32_t>(out.Size()));
    return std::move(out.Bytes());
}

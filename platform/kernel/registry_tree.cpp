// The registry's tree: folded names and paths, finding and adding keys.
#include "kernel/registry_tree.h"

#include "kernel/code_pages.h"

const char16_t *RootName(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? u"HKEY_CURRENT_USER" : u"HKEY_LOCAL_MACHINE";
}

std::u16string Fold(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t &c : folded) {
        c = towupper(c);
    }
    return folded;
}

std::u16string FoldedPath(const RegistryKeyPath &path, size_t count) {
    std::u16string folded = RootName(path.root);
    for (size_t i = 0; i < count && i < path.names.size(); ++i) {
        folded += u'\\';
        folded += Fold(path.names[i]);
    }
    return folded;
}

std::u16string FoldedPath(const RegistryKeyPath &path) {
    return FoldedPath(path, path.names.size());
}

RegistryKey &EnsureKey(RegistryTree &tree, const RegistryKeyPath &path, bool *created) {
    RegistryKeyPath prefix{path.root, {}};
    RegistryKey *key = nullptr;
    bool added = false;
    for (size_t count = 0;; ++count) {
        auto [entry, inserted] = tree.try_emplace(FoldedPath(path, count));
        if (inserted) {
            entry->second.path = prefix;
        }
        key = &entry->second;
        added = inserted;
        if (count == path.names.size()) {
            break;
        }
        prefix = key->path; // a new key below takes its parents' spelling
        prefix.names.push_back(path.names[count]);
    }
    if (created != nullptr) {
        *created = added;
    }
    return *key;
}

const RegistryKey *FindKey(const RegistryTree &tree, const RegistryKeyPath &path) {
    const auto found = tree.find(FoldedPath(path));
    if (found != tree.end()) {
        return &found->second;
    }
    static const RegistryKey emptyRoot;
    return path.names.empty() ? &emptyRoot : nullptr;
}
